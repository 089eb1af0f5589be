// Line-breaking rules for Japanese text (kinsoku): the characters that may not
// begin a line (closing brackets, the full stop and comma, small marks that
// belong to the character before them) and those that may not end one
// (opening brackets, currency signs). Both the text conversion that breaks
// lines at a width and the printed page's wrapping keep to these two sets.
#pragma once

#include <string_view>

// Whether a character (its one or two Shift-JIS bytes) may not begin a line:
// ｡｣､･ﾞﾟ!%),.:;?]} and ｝］？；：．，）％！ヾヽ・ゞゝ゜゛〕】』」》〉々。、℃″′‰’°￠.
// The long-vowel mark ー is not one of them.
bool IsKinsokuClosing(std::string_view ch);

// Whether a character may not end a line: ｢$([\{ and ￥｛［（＄〔【『「《〈“‘￡￠.
bool IsKinsokuOpening(std::string_view ch);
