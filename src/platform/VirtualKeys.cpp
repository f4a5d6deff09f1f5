#include "platform/VirtualKeys.h"

#include "app/KeyboardLayouts.h"

#include <QKeyEvent>

namespace {

// evdev key code of each physical key, in the order of the physical key table.
// clang-format off
constexpr quint32 kEvdevCodes[kKeyCount] = {
    41,  2,  3,  4,  5,  6,  7,  8,  9, 10, 11, 12, 13, 14, // ` 1..0 - = Backspace
    15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 43, // Tab Q..P [ ] backslash
    58, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40, 28,     // Caps A..L ; ' Enter
    42, 44, 45, 46, 47, 48, 49, 50, 51, 52, 53, 54,         // LShift Z../ RShift
};
// clang-format on

constexpr quint32 kEvdevSpace = 57;
constexpr int VK_SPACE = 0x20;

struct TQtKeyMapping {
    int QtKey;
    int VirtualKey;
};

// Keys whose Qt code differs from the virtual-key code, with the shifted
// symbols of the US layout.
constexpr TQtKeyMapping kQtKeyMappings[] = {
    {Qt::Key_QuoteLeft, 0xC0},    {Qt::Key_AsciiTilde, 0xC0},  {Qt::Key_Exclam, 0x31},
    {Qt::Key_At, 0x32},           {Qt::Key_NumberSign, 0x33},  {Qt::Key_Dollar, 0x34},
    {Qt::Key_Percent, 0x35},      {Qt::Key_AsciiCircum, 0x36}, {Qt::Key_Ampersand, 0x37},
    {Qt::Key_Asterisk, 0x38},     {Qt::Key_ParenLeft, 0x39},   {Qt::Key_ParenRight, 0x30},
    {Qt::Key_Minus, 0xBD},        {Qt::Key_Underscore, 0xBD},  {Qt::Key_Equal, 0xBB},
    {Qt::Key_Plus, 0xBB},         {Qt::Key_Backspace, 0x08},   {Qt::Key_Tab, 0x09},
    {Qt::Key_Backtab, 0x09},      {Qt::Key_BracketLeft, 0xDB}, {Qt::Key_BraceLeft, 0xDB},
    {Qt::Key_BracketRight, 0xDD}, {Qt::Key_BraceRight, 0xDD},  {Qt::Key_Backslash, 0xDC},
    {Qt::Key_Bar, 0xDC},          {Qt::Key_CapsLock, 0x14},    {Qt::Key_Semicolon, 0xBA},
    {Qt::Key_Colon, 0xBA},        {Qt::Key_Apostrophe, 0xDE},  {Qt::Key_QuoteDbl, 0xDE},
    {Qt::Key_Return, 0x0D},       {Qt::Key_Enter, 0x0D},       {Qt::Key_Shift, 0x10},
    {Qt::Key_Comma, 0xBC},        {Qt::Key_Less, 0xBC},        {Qt::Key_Period, 0xBE},
    {Qt::Key_Greater, 0xBE},      {Qt::Key_Slash, 0xBF},       {Qt::Key_Question, 0xBF},
    {Qt::Key_Space, VK_SPACE},
};

} // namespace

int PhysicalKeyIndexFromScanCode(quint32 nativeScanCode) {
    if (nativeScanCode < kXkbKeycodeOffset)
        return -1;
    const quint32 evdev = nativeScanCode - kXkbKeycodeOffset;
    for (int i = 0; i < kKeyCount; ++i) {
        if (kEvdevCodes[i] == evdev)
            return i;
    }
    return -1;
}

int VirtualKeyFromScanCode(quint32 nativeScanCode) {
    const int index = PhysicalKeyIndexFromScanCode(nativeScanCode);
    if (index >= 0)
        return PhysicalKey(index).Key;
    if (nativeScanCode == kEvdevSpace + kXkbKeycodeOffset)
        return VK_SPACE;
    return 0;
}

int VirtualKeyFromQtKey(int qtKey) {
    // Letters and digits share their codes with the virtual keys.
    if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9))
        return qtKey;
    for (const TQtKeyMapping& mapping : kQtKeyMappings) {
        if (mapping.QtKey == qtKey)
            return mapping.VirtualKey;
    }
    return 0;
}

char UsCharOfVirtualKey(int vk, bool shifted) {
    if (vk >= 'A' && vk <= 'Z')
        return char(shifted ? vk : vk - 'A' + 'a');
    if (vk >= '0' && vk <= '9')
        return shifted ? ")!@#$%^&*("[vk - '0'] : char(vk);
    struct TOemKey {
        int Vk;
        char Plain, Shifted;
    };
    static constexpr TOemKey kOemKeys[] = {
        {0xC0, '`', '~'}, {0xBD, '-', '_'},  {0xBB, '=', '+'}, {0xDB, '[', '{'},
        {0xDD, ']', '}'}, {0xDC, '\\', '|'}, {0xBA, ';', ':'}, {0xDE, '\'', '"'},
        {0xBC, ',', '<'}, {0xBE, '.', '>'},  {0xBF, '/', '?'},
    };
    for (const TOemKey& key : kOemKeys) {
        if (key.Vk == vk)
            return shifted ? key.Shifted : key.Plain;
    }
    return 0;
}

int VirtualKeyOf(const QKeyEvent& event) {
    if (event.nativeScanCode() != 0) {
        const int vk = VirtualKeyFromScanCode(event.nativeScanCode());
        if (vk != 0)
            return vk;
    }
    return VirtualKeyFromQtKey(event.key());
}

int PhysicalKeyIndexOf(const QKeyEvent& event) {
    if (event.nativeScanCode() != 0) {
        const int index = PhysicalKeyIndexFromScanCode(event.nativeScanCode());
        if (index >= 0)
            return index;
    }
    const int vk = VirtualKeyFromQtKey(event.key());
    if (vk == VK_SHIFT)
        return kLeftShiftIndex;
    for (int i = 0; i < kKeyCount; ++i) {
        if (PhysicalKey(i).Key == vk)
            return i;
    }
    return -1;
}
