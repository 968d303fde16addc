// An image that plays one of the embedded GIF animations. The animation is
// chosen by the image's current height (that is by the display scale), so
// its frames are never stretched far from their drawn size.
#pragma once

#include <vector>

#include "ui/win32/artwork.h"
#include "ui/win32/window_base.h"

namespace vorlix::ui {

enum class AnimationKind {
    analysing,  // 150 by 150 at 96 DPI
    loading,    // 55 by 55 at 96 DPI
};

// The resource of `kind` for an image `height` pixels high.
const wchar_t* animation_resource(AnimationKind kind, int height);

class AnimatedImage : public Window<AnimatedImage> {
public:
    void create(HWND parent, AnimationKind kind, const RECT& design_rect);
    void place(const RECT& design_rect, UINT dpi);
    // Loads the animation for the current height, starts it and shows the image.
    void start();
    // Stops and hides it.
    void stop();

    std::optional<LRESULT> handle(UINT message, WPARAM wparam, LPARAM lparam);

private:
    AnimationKind kind_ = AnimationKind::loading;
    std::vector<AnimationFrame> frames_;
    std::size_t frame_ = 0;

    void paint(HDC dc, const RECT& client) const;
};

}  // namespace vorlix::ui
