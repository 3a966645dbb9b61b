// The skin window's seven bitmap buttons, over the wells of the background.
#include <array>
#include <iterator>

#include <QString>

#include "engine/PlayerMessages.h"
#include "ui/SkinFrameWnd.h"

namespace {
struct ButtonPlace {
    UINT id;
    int left, top, right, bottom;  // client area; right and bottom exclusive
    int normal, pressed, focused, disabled;
    const char* name;  // what the button does, for screen readers
    const char* tip;   // the same with its key
};
constexpr ButtonPlace kButtons[] = {
    {ID_PLAY, 8, 65, 44, 85, 352, 350, 351, 353, "Play", "Play (Space)"},
    {ID_STOP, 44, 65, 80, 85, 356, 354, 355, 357, "Stop", "Stop (S)"},
    {ID_PAUSE, 80, 65, 116, 85, 360, 358, 359, 361, "Pause", "Pause or resume (Space)"},
    {ID_PREV_TRACK, 116, 65, 152, 85, 364, 362, 363, 365, "Previous track", "Previous track (Left)"},
    {ID_NEXT_TRACK, 152, 65, 188, 85, 368, 366, 367, 369, "Next track", "Next track (Right)"},
    {ID_OPEN_FILES, 224, 65, 260, 85, 372, 370, 371, 373, "Play file", "Play file (Ctrl+O)"},
    {ID_TRACK_INFO, 224, 18, 260, 38, 376, 374, 375, 377, "Track information", "Track information"},
};
static_assert(std::size(kButtons) == std::tuple_size_v<decltype(SkinFrameWnd::buttons)>);
}  // namespace

void SkinFrameWnd::CreateButtons() {
    for (size_t i = 0; i < std::size(kButtons); ++i) {
        const ButtonPlace& place = kButtons[i];
        auto* button = new BitmapButton;
        const QRect rect(place.left, place.top, place.right - place.left, place.bottom - place.top);
        if (!button->Create(*this, place.id, rect)) {
            delete button;
            continue;
        }
        // A missing face only leaves that face out; the window still works.
        button->LoadFaces(place.normal, place.pressed, place.focused, place.disabled);
        button->setAccessibleName(QString::fromLatin1(place.name));
        button->setToolTip(QString::fromLatin1(place.tip));
        buttons[i] = button;
    }
}
