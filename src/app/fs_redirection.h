// File-system redirection turned off for a 64-bit program's paths while the
// object lives, on the calling thread only.
#pragma once

#include "access/wow64.h"

namespace vorlix {

class FsRedirectionOff {
public:
    explicit FsRedirectionOff(bool needed) : active(needed) {
        if (active) Sys_DisableFsRedirection(saved);
    }
    ~FsRedirectionOff() {
        if (active) Sys_RevertFsRedirection(saved);
    }
    FsRedirectionOff(const FsRedirectionOff&) = delete;
    FsRedirectionOff& operator=(const FsRedirectionOff&) = delete;

private:
    bool active;
    void* saved = nullptr;
};

}  // namespace vorlix
