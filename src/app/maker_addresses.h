// The maker's addresses, in one place. The hosts are placeholders on
// reserved example domains until the project has its own.
#pragma once

namespace vorlix {

inline constexpr const char16_t* maker_home_page = u"https://www.example.com/";
inline constexpr const char16_t* maker_support_page = u"https://support.example.com/support.html";
inline constexpr const char16_t* maker_support_email = u"support@example.com";
inline constexpr const char16_t* maker_sign_in_page = u"https://www.example.com/signin.html";
inline constexpr const char16_t* maker_legal_notice = u"Copyright (C) 2023 Vorlix. All rights reserved.";

// A test build may point the update check at its own server; the shipped
// build is configured without VORLIX_UPDATE_DOCUMENT_ADDRESS.
#ifdef VORLIX_UPDATE_DOCUMENT_ADDRESS
inline constexpr const char16_t* maker_update_document = VORLIX_UPDATE_DOCUMENT_ADDRESS;
#else
inline constexpr const char16_t* maker_update_document = u"https://www.example.org/download/new_update.json";
#endif

}  // namespace vorlix
