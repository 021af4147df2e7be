// Basic types, records and numeric constants of the window system the reader was
// designed around. Written from scratch: only the subset the program uses, with the
// names and values its callers expect.
#pragma once

#include <cstddef>
#include <cstdint>

typedef int BOOL;
typedef uint8_t BYTE;
typedef uint16_t WORD;
typedef uint32_t DWORD;
typedef int32_t LONG;
typedef uint32_t UINT;
typedef int INT;
typedef char16_t WCHAR;
typedef const WCHAR* LPCWSTR;
typedef WCHAR* LPWSTR;
typedef uintptr_t WPARAM;
typedef intptr_t LPARAM;
typedef intptr_t LRESULT;
typedef intptr_t INT_PTR;
typedef uint32_t COLORREF;

#ifndef TRUE
#define TRUE 1
#define FALSE 0
#endif

// Handles are pointers to records private to the layer.
typedef struct WindowRec* HWND;
typedef struct DcRec* HDC;
typedef struct GdiObjectRec* HGDIOBJ;
typedef HGDIOBJ HFONT;
typedef HGDIOBJ HBRUSH;
typedef HGDIOBJ HPEN;
typedef HGDIOBJ HBITMAP;
typedef struct MenuRec* HMENU;
typedef struct RegKeyRec* HKEY;
typedef struct ResourceRec* HRSRC;
typedef const void* HGLOBAL;
typedef struct InstanceRec* HINSTANCE;
typedef struct IconRec* HICON;
typedef struct CursorRec* HCURSOR;

#define LOWORD(l) ((WORD)(((uintptr_t)(l)) & 0xFFFF))
#define HIWORD(l) ((WORD)((((uintptr_t)(l)) >> 16) & 0xFFFF))
#define MAKELONG(a, b) ((LONG)(((WORD)(a)) | ((DWORD)((WORD)(b))) << 16))
#define MAKEWPARAM(l, h) ((WPARAM)(DWORD)MAKELONG(l, h))
#define MAKELPARAM(l, h) ((LPARAM)(DWORD)MAKELONG(l, h))
#define RGB(r, g, b) ((COLORREF)(((BYTE)(r)) | ((WORD)((BYTE)(g)) << 8) | (((DWORD)(BYTE)(b)) << 16)))
#define GetRValue(c) ((BYTE)(c))
#define GetGValue(c) ((BYTE)(((WORD)(c)) >> 8))
#define GetBValue(c) ((BYTE)((c) >> 16))
#define MAKEINTRESOURCEW(i) ((LPCWSTR)(uintptr_t)(WORD)(i))
#define IS_INTRESOURCE(p) ((((uintptr_t)(p)) >> 16) == 0)

struct POINT { LONG x, y; };
struct SIZE { LONG cx, cy; };
struct RECT { LONG left, top, right, bottom; };

struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
};

typedef LRESULT (*WNDPROC)(HWND, UINT, WPARAM, LPARAM);
typedef INT_PTR (*DLGPROC)(HWND, UINT, WPARAM, LPARAM);

struct WNDCLASSW {
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    LPCWSTR lpszMenuName;
    LPCWSTR lpszClassName;
};

struct CREATESTRUCTW {
    void* lpCreateParams;
    HINSTANCE hInstance;
    HMENU hMenu;
    HWND hwndParent;
    int cy, cx, y, x;
    LONG style;
    LPCWSTR lpszName;
    LPCWSTR lpszClass;
    DWORD dwExStyle;
};

struct WINDOWPOS {
    HWND hwnd;
    HWND hwndInsertAfter;
    int x, y, cx, cy;
    UINT flags;
};

struct PAINTSTRUCT {
    HDC hdc;
    BOOL fErase;
    RECT rcPaint;
    BOOL fRestore;
    BOOL fIncUpdate;
    BYTE rgbReserved[32];
};

struct SCROLLINFO {
    UINT cbSize;
    UINT fMask;
    int nMin;
    int nMax;
    UINT nPage;
    int nPos;
    int nTrackPos;
};

#define LF_FACESIZE 32
struct LOGFONTW {
    LONG lfHeight;
    LONG lfWidth;
    LONG lfEscapement;
    LONG lfOrientation;
    LONG lfWeight;
    BYTE lfItalic;
    BYTE lfUnderline;
    BYTE lfStrikeOut;
    BYTE lfCharSet;
    BYTE lfOutPrecision;
    BYTE lfClipPrecision;
    BYTE lfQuality;
    BYTE lfPitchAndFamily;
    WCHAR lfFaceName[LF_FACESIZE];
};

struct TEXTMETRICW {
    LONG tmHeight;
    LONG tmAscent;
    LONG tmDescent;
    LONG tmInternalLeading;
    LONG tmExternalLeading;
    LONG tmAveCharWidth;
    LONG tmMaxCharWidth;
    LONG tmWeight;
    LONG tmOverhang;
    LONG tmDigitizedAspectX;
    LONG tmDigitizedAspectY;
    WCHAR tmFirstChar;
    WCHAR tmLastChar;
    WCHAR tmDefaultChar;
    WCHAR tmBreakChar;
    BYTE tmItalic;
    BYTE tmUnderlined;
    BYTE tmStruckOut;
    BYTE tmPitchAndFamily;
    BYTE tmCharSet;
};

struct OSVERSIONINFOW {
    DWORD dwOSVersionInfoSize;
    DWORD dwMajorVersion;
    DWORD dwMinorVersion;
    DWORD dwBuildNumber;
    DWORD dwPlatformId;
    WCHAR szCSDVersion[128];
};

// Window messages.
enum : UINT {
    WM_NULL = 0x0000,
    WM_CREATE = 0x0001,
    WM_DESTROY = 0x0002,
    WM_MOVE = 0x0003,
    WM_SIZE = 0x0005,
    WM_ACTIVATE = 0x0006,
    WM_SETFOCUS = 0x0007,
    WM_KILLFOCUS = 0x0008,
    WM_ENABLE = 0x000A,
    WM_SETTEXT = 0x000C,
    WM_GETTEXT = 0x000D,
    WM_GETTEXTLENGTH = 0x000E,
    WM_PAINT = 0x000F,
    WM_CLOSE = 0x0010,
    WM_QUIT = 0x0012,
    WM_ERASEBKGND = 0x0014,
    WM_SHOWWINDOW = 0x0018,
    WM_SETTINGCHANGE = 0x001A,
    WM_ACTIVATEAPP = 0x001C,
    WM_SETFONT = 0x0030,
    WM_GETFONT = 0x0031,
    WM_WINDOWPOSCHANGING = 0x0046,
    WM_WINDOWPOSCHANGED = 0x0047,
    WM_NOTIFY = 0x004E,
    WM_HELP = 0x0053,
    WM_NCCREATE = 0x0081,
    WM_NCDESTROY = 0x0082,
    WM_KEYDOWN = 0x0100,
    WM_KEYUP = 0x0101,
    WM_CHAR = 0x0102,
    WM_INITDIALOG = 0x0110,
    WM_COMMAND = 0x0111,
    WM_SYSCOMMAND = 0x0112,
    WM_TIMER = 0x0113,
    WM_HSCROLL = 0x0114,
    WM_VSCROLL = 0x0115,
    WM_CTLCOLORSTATIC = 0x0138,
    WM_MOUSEMOVE = 0x0200,
    WM_LBUTTONDOWN = 0x0201,
    WM_LBUTTONUP = 0x0202,
    WM_LBUTTONDBLCLK = 0x0203,
    WM_HIBERNATE = 0x03FF,
    WM_USER = 0x0400,
};

// Window styles.
enum : DWORD {
    WS_OVERLAPPED = 0x00000000,
    WS_POPUP = 0x80000000,
    WS_CHILD = 0x40000000,
    WS_VISIBLE = 0x10000000,
    WS_DISABLED = 0x08000000,
    WS_CLIPSIBLINGS = 0x04000000,
    WS_CAPTION = 0x00C00000,
    WS_BORDER = 0x00800000,
    WS_DLGFRAME = 0x00400000,
    WS_VSCROLL = 0x00200000,
    WS_HSCROLL = 0x00100000,
    WS_SYSMENU = 0x00080000,
    WS_GROUP = 0x00020000,
    WS_TABSTOP = 0x00010000,
    WS_EX_DLGMODALFRAME = 0x00000001,
    WS_EX_TOPMOST = 0x00000008,
    WS_EX_WINDOWEDGE = 0x00000100,
    WS_EX_CLIENTEDGE = 0x00000200,
    WS_EX_CAPTIONOKBTN = 0x80000000,
};

enum : UINT {
    CS_VREDRAW = 0x0001,
    CS_HREDRAW = 0x0002,
    CS_DBLCLKS = 0x0008,
};

#define CW_USEDEFAULT ((int)0x80000000)

// ShowWindow commands.
enum : int {
    SW_HIDE = 0,
    SW_SHOWNORMAL = 1,
    SW_SHOWNOACTIVATE = 4,
    SW_SHOW = 5,
    SW_MINIMIZE = 6,
    SW_SHOWNA = 8,
};

// SetWindowPos flags.
enum : UINT {
    SWP_NOSIZE = 0x0001,
    SWP_NOMOVE = 0x0002,
    SWP_NOZORDER = 0x0004,
    SWP_NOREDRAW = 0x0008,
    SWP_NOACTIVATE = 0x0010,
    SWP_FRAMECHANGED = 0x0020,
    SWP_SHOWWINDOW = 0x0040,
    SWP_HIDEWINDOW = 0x0080,
};

#define HWND_TOP ((HWND)0)
#define HWND_BOTTOM ((HWND)1)
#define HWND_TOPMOST ((HWND)-1)
#define HWND_NOTOPMOST ((HWND)-2)

enum : int { WA_INACTIVE = 0, WA_ACTIVE = 1, WA_CLICKACTIVE = 2 };

// PeekMessage options.
enum : UINT { PM_NOREMOVE = 0x0000, PM_REMOVE = 0x0001 };

// GetWindowLong indices.
enum : int { GWL_WNDPROC = -4, GWL_STYLE = -16, GWL_EXSTYLE = -20, GWL_USERDATA = -21, GWL_ID = -12, DWL_MSGRESULT = 0, DWL_USER = 8 };

// Virtual keys.
enum : int {
    VK_BACK = 0x08,
    VK_TAB = 0x09,
    VK_RETURN = 0x0D,
    VK_SHIFT = 0x10,
    VK_CONTROL = 0x11,
    VK_MENU = 0x12,
    VK_ESCAPE = 0x1B,
    VK_SPACE = 0x20,
    VK_PRIOR = 0x21,
    VK_NEXT = 0x22,
    VK_END = 0x23,
    VK_HOME = 0x24,
    VK_LEFT = 0x25,
    VK_UP = 0x26,
    VK_RIGHT = 0x27,
    VK_DOWN = 0x28,
    VK_DELETE = 0x2E,
    VK_F1 = 0x70,
    VK_F3 = 0x72,
    VK_F12 = 0x7B,
};

// Scroll bars.
enum : int {
    SB_HORZ = 0,
    SB_VERT = 1,
    SB_CTL = 2,
    SB_LINEUP = 0,
    SB_LINEDOWN = 1,
    SB_PAGEUP = 2,
    SB_PAGEDOWN = 3,
    SB_THUMBPOSITION = 4,
    SB_THUMBTRACK = 5,
    SB_TOP = 6,
    SB_BOTTOM = 7,
    SB_ENDSCROLL = 8,
};
enum : UINT {
    SIF_RANGE = 0x0001,
    SIF_PAGE = 0x0002,
    SIF_POS = 0x0004,
    SIF_TRACKPOS = 0x0010,
    SIF_ALL = 0x0017,
};

// Message boxes.
enum : UINT {
    MB_OK = 0x00000000,
    MB_OKCANCEL = 0x00000001,
    MB_YESNOCANCEL = 0x00000003,
    MB_YESNO = 0x00000004,
    MB_ICONHAND = 0x00000010,
    MB_ICONSTOP = 0x00000010,
    MB_ICONQUESTION = 0x00000020,
    MB_ICONEXCLAMATION = 0x00000030,
    MB_ICONASTERISK = 0x00000040,
    MB_SETFOREGROUND = 0x00010000,
    MB_TOPMOST = 0x00040000,
};
enum : int { IDOK = 1, IDCANCEL = 2, IDABORT = 3, IDRETRY = 4, IDIGNORE = 5, IDYES = 6, IDNO = 7 };

// GDI.
enum : int {
    WHITE_BRUSH = 0,
    LTGRAY_BRUSH = 1,
    GRAY_BRUSH = 2,
    DKGRAY_BRUSH = 3,
    BLACK_BRUSH = 4,
    NULL_BRUSH = 5,
    WHITE_PEN = 6,
    BLACK_PEN = 7,
    NULL_PEN = 8,
    SYSTEM_FONT = 13,
    DEFAULT_GUI_FONT = 17,
};
enum : int { PS_SOLID = 0, PS_DASH = 1, PS_NULL = 5 };
enum : int { TRANSPARENT = 1, OPAQUE = 2 };
enum : int { FW_NORMAL = 400, FW_BOLD = 700 };
enum : int { LOGPIXELSX = 88, LOGPIXELSY = 90, HORZRES = 8, VERTRES = 10, BITSPIXEL = 12 };
enum : DWORD { SRCCOPY = 0x00CC0020 };
enum : UINT {
    DT_TOP = 0x0000,
    DT_LEFT = 0x0000,
    DT_CENTER = 0x0001,
    DT_RIGHT = 0x0002,
    DT_VCENTER = 0x0004,
    DT_BOTTOM = 0x0008,
    DT_WORDBREAK = 0x0010,
    DT_SINGLELINE = 0x0020,
    DT_EXPANDTABS = 0x0040,
    DT_NOCLIP = 0x0100,
    DT_CALCRECT = 0x0400,
    DT_NOPREFIX = 0x0800,
};
enum : UINT { ETO_OPAQUE = 0x0002, ETO_CLIPPED = 0x0004 };
#define CLR_INVALID ((COLORREF)0xFFFFFFFF)
enum : int { DEVICE_FONTTYPE = 2, RASTER_FONTTYPE = 1, TRUETYPE_FONTTYPE = 4 };

// System metrics.
enum : int {
    SM_CXSCREEN = 0,
    SM_CYSCREEN = 1,
    SM_CXVSCROLL = 2,
    SM_CYHSCROLL = 3,
    SM_CYCAPTION = 4,
    SM_CXBORDER = 5,
    SM_CYBORDER = 6,
    SM_CXDLGFRAME = 7,
    SM_CYDLGFRAME = 8,
    SM_CXICON = 11,
    SM_CYICON = 12,
    SM_CXEDGE = 45,
    SM_CYEDGE = 46,
    SM_CXSMICON = 49,
    SM_CYSMICON = 50,
};

// Registry.
#define HKEY_CURRENT_USER ((HKEY)(uintptr_t)0x80000001)
enum : DWORD {
    REG_NONE = 0,
    REG_SZ = 1,
    REG_BINARY = 3,
    REG_DWORD = 4,
};
enum : DWORD { KEY_READ = 0x20019, KEY_WRITE = 0x20006, KEY_ALL_ACCESS = 0xF003F };
enum : LONG {
    ERROR_SUCCESS = 0,
    ERROR_FILE_NOT_FOUND = 2,
    ERROR_ACCESS_DENIED = 5,
    ERROR_INVALID_HANDLE = 6,
    ERROR_NOT_ENOUGH_MEMORY = 8,
    ERROR_INVALID_PARAMETER = 87,
    ERROR_MORE_DATA = 234,
    ERROR_WRITE_FAULT = 29,
};
enum : DWORD { REG_CREATED_NEW_KEY = 1, REG_OPENED_EXISTING_KEY = 2 };

// Resource types.
enum : WORD {
    RT_CURSOR = 1,
    RT_BITMAP = 2,
    RT_ICON = 3,
    RT_MENU = 4,
    RT_DIALOG = 5,
    RT_STRING = 6,
    RT_RCDATA = 10,
    RT_GROUP_ICON = 14,
};

// Registry: access bits, options and the error for a key deleted while open.
enum : DWORD {
    KEY_QUERY_VALUE = 0x0001,
    KEY_SET_VALUE = 0x0002,
    KEY_CREATE_SUB_KEY = 0x0004,
    KEY_ENUMERATE_SUB_KEYS = 0x0008,
};
enum : DWORD { REG_OPTION_NON_VOLATILE = 0, REG_OPTION_VOLATILE = 1 };
enum : LONG { ERROR_KEY_DELETED = 1018 };
struct SECURITY_ATTRIBUTES;
typedef SECURITY_ATTRIBUTES* LPSECURITY_ATTRIBUTES;
typedef HKEY* PHKEY;

// Window manager additions.
typedef intptr_t LONG_PTR;
typedef WORD ATOM;
enum : int { GWL_HWNDPARENT = -8, GWLP_WNDPROC = -4, GWLP_USERDATA = -21, GWLP_ID = -12, DWLP_MSGRESULT = 0, DWLP_USER = 8 };
enum : int { DLGWINDOWEXTRA = 32 };
enum : UINT { GW_HWNDFIRST = 0, GW_HWNDLAST = 1, GW_HWNDNEXT = 2, GW_HWNDPREV = 3, GW_OWNER = 4, GW_CHILD = 5 };
enum : DWORD { WS_CLIPCHILDREN = 0x02000000 };
enum : UINT { SIZE_RESTORED = 0 };
enum : WPARAM { MK_LBUTTON = 0x0001 };
// Plain constants, so they combine with the MB_ values above without a warning.
constexpr UINT MB_DEFBUTTON1 = 0x00000000, MB_DEFBUTTON2 = 0x00000100, MB_DEFBUTTON3 = 0x00000200, MB_DEFMASK = 0x00000F00, MB_TYPEMASK = 0x0000000F, MB_RETRYCANCEL = 0x00000005, MB_ABORTRETRYIGNORE = 0x00000002;
enum : UINT { SPI_GETWORKAREA = 48, SETTINGCHANGE_RESET = 0x3002 };
enum : int { COLOR_WINDOW = 5, COLOR_BTNFACE = 15 };
enum : int { VK_OEM_1 = 0xBA, VK_OEM_PLUS = 0xBB, VK_OEM_COMMA = 0xBC, VK_OEM_MINUS = 0xBD, VK_OEM_PERIOD = 0xBE, VK_OEM_2 = 0xBF, VK_OEM_3 = 0xC0, VK_OEM_4 = 0xDB, VK_OEM_5 = 0xDC, VK_OEM_6 = 0xDD, VK_OEM_7 = 0xDE };
enum : UINT { WM_CANCELMODE = 0x001F, WM_MOUSEACTIVATE = 0x0021, WM_CAPTURECHANGED = 0x0215 };
enum : LONG { ERROR_READ_FAULT = 30 };

typedef uintptr_t DWORD_PTR;
typedef uintptr_t UINT_PTR;

// Shell additions: the idle notice of modal loops (menus, message boxes).
enum : UINT { WM_ENTERIDLE = 0x0121 };
enum : WPARAM { MSGF_DIALOGBOX = 0, MSGF_MENU = 2 };
