#include "typing/SwitchBackNotice.h"

namespace {

bool IsLatinLetter(QChar c) {
    const char16_t u = c.unicode();
    return (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z');
}

bool IsHangul(QChar c) {
    const char16_t u = c.unicode();
    return (u >= 0xAC00 && u <= 0xD7A3) || (u >= 0x3131 && u <= 0x318E);
}

} // namespace

void TSwitchBackNotice::SetKoreanText(bool value) {
    FKoreanText = value;
    if (!value)
        FVisible = false;
}

void TSwitchBackNotice::NewPage() {
    FVisible = false;
    FGiven = false;
}

bool TSwitchBackNotice::HoldBack(QChar typed, QChar expected) {
    const bool slip = FKoreanText && IsLatinLetter(typed) && IsHangul(expected);
    if (!slip) {
        FVisible = false;
        return false;
    }
    if (FVisible)
        return true;
    if (FGiven)
        return false;
    FVisible = true;
    FGiven = true;
    return true;
}

void TSwitchBackNotice::HangulArrived() {
    FVisible = false;
}

QString TSwitchBackNotice::Text() {
    return QStringLiteral("영문이 입력됩니다. 한/영 키를 눌러 한글로 바꾸세요");
}
