#include "res/accelerators.h"

#include <iterator>

namespace {

// Ctrl+Enter is listed for both the main and the keypad Enter key.
constexpr CAccelEntry ACCEL_128[] = {
    {"Ctrl+]", 6015},
    {"Ctrl+Shift+1", 1240},
    {"Ctrl+Shift+2", 1242},
    {"Ctrl+Shift+3", 1241},
    {"Ctrl+Shift+4", 1265},
    {"Ctrl+Shift+5", 1266},
    {"Ctrl+Shift+6", 1267},
    {"Ctrl+Shift+7", 1268},
    {"Ctrl+Shift+A", 1226},
    {"Ctrl+B", 1270},
    {"Ctrl+Shift+B", 1228},
    {"Ctrl+C", 57634},
    {"Ctrl+Shift+C", 1245},
    {"Ctrl+D", 1244},
    {"Ctrl+E", 1249},
    {"Ctrl+Shift+F", 1227},
    {"Ctrl+G", 1306},
    {"Ctrl+Shift+G", 1237},
    {"Ctrl+Shift+H", 1251},
    {"Ctrl+Shift+I", 1229},
    {"Ctrl+Shift+J", 1223},
    {"Ctrl+K", 1249},
    {"Ctrl+Shift+K", 1260},
    {"Ctrl+Shift+L", 1231},
    {"Ctrl+Shift+M", 1232},
    {"Ctrl+N", 57600},
    {"Ctrl+Shift+N", 1220},
    {"Ctrl+O", 57601},
    {"Ctrl+Shift+O", 1224},
    {"Ctrl+P", 57607},
    {"Ctrl+Shift+P", 1235},
    {"Ctrl+Q", 57665},
    {"Ctrl+Shift+R", 1233},
    {"Ctrl+S", 57603},
    {"Ctrl+Shift+S", 57604},
    {"Ctrl+Shift+T", 1238},
    {"Ctrl+Shift+U", 1230},
    {"Ctrl+V", 57637},
    {"Ctrl+Shift+V", 1236},
    {"Alt+Backspace", 57643},
    {"Shift+Del", 57635},
    {"F1", 57670},
    {"Ctrl+Shift+F1", 1239},
    {"Ctrl+F3", 401},
    {"F6", 57680},
    {"Shift+F6", 57681},
    {"F9", 6014},
    {"Ctrl+Ins", 57634},
    {"Shift+Ins", 57637},
    {"Ctrl+Return", 1234},
    {"Ctrl+Enter", 1234},
    {"Ctrl+Shift+Return", 1247},
    {"Ctrl+Shift+Enter", 1247},
    {"Ctrl+Space", 501},
    {"Ctrl+W", 309},
    {"Ctrl+X", 57635},
    {"Ctrl+Shift+X", 1283},
    {"Ctrl+Z", 57643},
};

constexpr CAccelTable MAIN_ACCELERATORS = {ACCEL_128, std::size(ACCEL_128)};

} // namespace

const CAccelTable &MainAccelerators()
{
    return MAIN_ACCELERATORS;
}
