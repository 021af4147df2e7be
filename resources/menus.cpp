// The main menu, the shell menu bar that shows it, and the menu bar's button labels.
#include "resources/resource_builders.h"
#include "resources/ui_resource_parts.h"

namespace {

using res::EndPopup;
using res::Item;
using res::MenuLine;
using res::Popup;
using res::Separator;

// A 0x08 before the shortcut text right-aligns it in the popup; the shortcuts are text
// only, no key is bound to them.
constexpr MenuLine kMainMenu[] = {
    Popup(u"&File"),
        Item(40004, u"&About"),
        Item(129, u"Check For &Updates"),
        Item(119, u"&Choose Article\x08" u"Ctrl+D"),
        Item(40006, u"F&ont\x08" u"Ctrl+F"),
        Item(40007, u"&Copy\x08" u"Ctrl+C"),
        Item(40009, u"&Append to ClipBoard\x08" u"Ctrl+E"),
        Item(40005, u"E&xit\x08" u"Ctrl+Q"),
    EndPopup(),
    Popup(u"&Go"),
        Item(119, u"&Index\x08" u"Ctrl+D"),
        Item(123, u"&Bookmark"),
        Item(110, u"&Previous Article"),
        Item(109, u"&Next Article"),
        Separator(),
        Item(116, u"&Search\x08" u"Alt+F3"),
        Item(117, u"Search A&gain\x08" u"F3"),
    EndPopup(),
};
alignas(4) constexpr auto kMainMenuBytes = res::MenuTemplate<res::MenuSize(kMainMenu)>(kMainMenu);

// The menu bar: the menu it shows, its button count, then per button the image, the
// command, state, style, label string, a reserved word and the popup it opens.
constexpr uint16_t kImageNone = 65534;
constexpr uint16_t kEnabled = 4;          // TBSTATE_ENABLED
constexpr uint16_t kDropDownAuto = 24;    // TBSTYLE_DROPDOWN | TBSTYLE_AUTOSIZE
constexpr uint16_t kMenuBarWords[] = {
    102, 2,
    kImageNone, 40001, kEnabled, kDropDownAuto, 303, 0, 0,
    kImageNone, 40002, kEnabled, kDropDownAuto, 302, 0, 1,
};
static_assert(sizeof kMenuBarWords / sizeof kMenuBarWords[0] == 16);
alignas(4) constexpr auto kMenuBarBytes = res::Words(kMenuBarWords);

alignas(4) constexpr auto kStringGo = res::Utf16(u"Go");
alignas(4) constexpr auto kStringFile = res::Utf16(u"File");

constexpr WORD kRtMenu = 4, kRtString = 6, kRtRcdata = 10;

}  // namespace

const ResourceEntry kMenuResources[] = {
    {kRtMenu, 102, kMainMenuBytes.data(), (DWORD)kMainMenuBytes.size()},
    {kRtRcdata, 102, kMenuBarBytes.data(), (DWORD)kMenuBarBytes.size()},
    {kRtString, 302, kStringGo.data(), (DWORD)kStringGo.size()},
    {kRtString, 303, kStringFile.data(), (DWORD)kStringFile.size()},
};
const size_t kMenuResourceCount = sizeof kMenuResources / sizeof kMenuResources[0];
