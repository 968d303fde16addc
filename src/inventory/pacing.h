// Pauses that exist only to pace the user interface. The windowed program
// waits for real; the CLI and tests skip them.
#pragma once

#include <cstdint>

#include "platform/os.h"

namespace vorlix {

class Pacing {
public:
    virtual ~Pacing() = default;
    virtual void pause(std::uint32_t milliseconds) = 0;
};

class NoPacing final : public Pacing {
public:
    void pause(std::uint32_t /*milliseconds*/) override {}
};

class RealPacing final : public Pacing {
public:
    void pause(std::uint32_t milliseconds) override { os::sleep_ms(milliseconds); }
};

}  // namespace vorlix
