// The dialog templates as the dialog documentation gives them: size, title,
// and for every control its id, kind, rectangle (dialog units) and the
// captions of the base and "_ENG" templates. The native template test holds
// the resource script against these rows, the wine test the DLL's compiled
// resources. Texts are UTF-8.
#pragma once

#include <vector>

namespace tavix::testing {

enum class Kind { GroupBox, Static, Edit, ComboBox, ListBox, Radio, PushButton, DefPushButton, OwnerDraw, UpDown };

struct ControlRow {
    int id;
    Kind kind;
    int x, y, cx, cy;
    const char* baseCaption;     // null: no caption to check
    const char* englishCaption;  // null: no caption to check
};

struct VariantSize {
    const char* suffix;  // "", "_ENG", "_FRE", "_GER", "_ITA", "_SPA"
    int cx, cy;
};

struct DialogRow {
    const char* name;
    const char* baseTitle;
    const char* englishTitle;
    std::vector<VariantSize> sizes;
    std::vector<ControlRow> controls;
    std::vector<int> absentInLatinVariants;  // ids missing from _FRE, _GER, _ITA, _SPA
};

inline const char* const VARIANT_SUFFIXES[] = {"", "_ENG", "_FRE", "_GER", "_ITA", "_SPA"};

inline std::vector<ControlRow> deviceControls() {
    return {
        {104, Kind::GroupBox, 5, 3, 235, 74, "用紙設定", "Plot Setting"},
        {108, Kind::Static, 15, 17, 49, 10, "用紙ｻｲｽﾞ(&S):", "Output &Size:"},
        {105, Kind::ComboBox, 67, 15, 156, 85, nullptr, nullptr},
        {1000, Kind::GroupBox, 15, 30, 52, 40, "ﾏｰｼﾞﾝ", "Plot Margin"},
        {1082, Kind::Radio, 22, 41, 38, 10, "あり(&N)", "O&n"},
        {1083, Kind::Radio, 22, 55, 39, 10, "なし(&F)", "O&ff"},
        {116, Kind::Static, 88, 42, 41, 8, "ｺﾋﾟｰ枚数(&C):", "&Copy Count:"},
        {114, Kind::Edit, 135, 39, 40, 13, nullptr, nullptr},
        {115, Kind::UpDown, 164, 40, 10, 13, nullptr, nullptr},
        {1047, Kind::GroupBox, 5, 84, 177, 56, "出力方式設定", "Output Setting"},
        {1042, Kind::GroupBox, 12, 94, 79, 40, "出力方式", "Output"},
        {1043, Kind::Radio, 16, 103, 71, 10, "追加機能出力(&O)", "&Option"},
        {1044, Kind::Radio, 16, 119, 56, 10, "標準出力(&T)", "S&tandard"},
        {1046, Kind::PushButton, 97, 97, 79, 14, "追加機能出力設定...", "Option Setting..."},
        {1011, Kind::GroupBox, 188, 84, 52, 40, "塗り潰し", "Fill Style"},
        {1012, Kind::Radio, 191, 93, 44, 10, "ﾍﾞﾀ塗り(&B)", "&Black"},
        {1013, Kind::Radio, 191, 109, 45, 10, "ﾊｰﾌﾄｰﾝ(&H)", "&Half-tone"},
        {1079, Kind::Static, 6, 151, 52, 8, "ﾍﾟﾝ終端処理(&E):", "Line &End: "},
        {1078, Kind::ComboBox, 58, 149, 75, 85, nullptr, nullptr},
        {1026, Kind::OwnerDraw, 210, 183, 30, 14, nullptr, nullptr},
        {1, Kind::DefPushButton, 55, 182, 50, 14, "OK", "OK"},
        {2, Kind::PushButton, 136, 182, 50, 14, "ｷｬﾝｾﾙ", "Cancel"},
        {1008, Kind::GroupBox, 188, 131, 52, 40, "カラー", "Color Setting"},
        {1009, Kind::Radio, 191, 141, 44, 10, "ｶﾗｰ(&L)", "Co&lor"},
        {1010, Kind::Radio, 191, 157, 45, 10, "ﾓﾉｸﾛ(&M)", "&Monochrome"},
    };
}

inline std::vector<DialogRow> dialogTables() {
    return {
        {"DRIVERCFG", "ﾃﾞﾊﾞｲｽﾞ設定の変更", "Change in device setting",
         {{"", 245, 204}, {"_ENG", 255, 204}}, deviceControls(), {1008, 1009, 1010}},
        {"DETAILCFG", "ﾃﾞﾊﾞｲｽ設定", "Device setting",
         {{"", 245, 204}, {"_ENG", 255, 205}}, deviceControls(), {1008, 1009, 1010}},
        {"ADD_FUNC_CFG", "追加機能出力設定", "Option Setting",
         {{"", 283, 245}, {"_ENG", 283, 243}, {"_FRE", 290, 243}, {"_GER", 281, 245}, {"_ITA", 307, 245},
          {"_SPA", 299, 245}},
         {
             {1060, Kind::GroupBox, 5, 7, 273, 78, "出力設定", "Output Setting"},
             {109, Kind::Static, 9, 20, 49, 10, "用紙の種類(&M):", "Media Type:"},
             {106, Kind::ComboBox, 61, 18, 75, 85, nullptr, nullptr},
             {1085, Kind::Static, 150, 20, 46, 8, "ﾄﾚｲ選択(&T):", "Tray:"},
             {113, Kind::ComboBox, 198, 18, 74, 85, nullptr, nullptr},
             {1052, Kind::GroupBox, 10, 39, 61, 40, "用紙ｶｯﾄﾓｰﾄﾞ", "Cut Mode"},
             {1053, Kind::Radio, 13, 48, 52, 10, "定形ｶｯﾄ(&S)", "Standard Cut"},
             {1054, Kind::Radio, 13, 64, 54, 10, "ｼﾝｸﾛｶｯﾄ(&Y)", "Synchronous Cut"},
             {1090, Kind::GroupBox, 99, 39, 61, 40, "ﾐﾗｰ出力", "Mirror Image"},
             {1091, Kind::Radio, 102, 48, 52, 10, "ON(&1)", "ON"},
             {1092, Kind::Radio, 102, 64, 53, 10, "OFF(&2)", "OFF"},
             {1049, Kind::GroupBox, 188, 39, 84, 40, "ｾﾝﾀﾘﾝｸﾞ", "Image Centering"},
             {1087, Kind::Radio, 192, 48, 70, 10, "ON(&3)", "ON"},
             {1089, Kind::Radio, 192, 64, 74, 10, "OFF(&4)", "OFF"},
             {1055, Kind::GroupBox, 5, 92, 133, 124, "ｽﾀﾝﾌﾟ機能設定", "Stamp Setting"},
             {1056, Kind::GroupBox, 11, 103, 49, 40, "ｽﾀﾝﾌﾟ機能", "Stamp"},
             {1057, Kind::Radio, 14, 113, 43, 10, "ON(&5)", "On"},
             {1058, Kind::Radio, 14, 129, 42, 10, "OFF(&6)", "Off"},
             {1059, Kind::PushButton, 64, 108, 69, 14, "ｽﾀﾝﾌﾟ機能設定...", "Stamp Setting..."},
             {1062, Kind::GroupBox, 11, 162, 82, 40, "図面方向", "Drawing orientation"},
             {1066, Kind::Radio, 14, 172, 72, 10, "縦(&P)", "Portrait"},
             {1067, Kind::Radio, 14, 188, 73, 10, "横(&L)", "Landscape"},
             {1093, Kind::GroupBox, 143, 92, 136, 57, "印刷設定", "Print Setting"},
             {1094, Kind::GroupBox, 149, 104, 49, 40, "白黒反転", "Invert"},
             {1095, Kind::Radio, 152, 114, 42, 10, "ON(&7)", "ON"},
             {1096, Kind::Radio, 152, 130, 43, 10, "OFF(&8)", "OFF"},
             {1098, Kind::Static, 200, 108, 42, 8, "印刷濃度(&D):", "Density:"},
             {1099, Kind::Edit, 245, 106, 29, 13, nullptr, nullptr},
             {117, Kind::UpDown, 263, 108, 9, 13, nullptr, nullptr},
             {1100, Kind::Static, 200, 126, 38, 8, "標準値: 15", "Standard: 15"},
             {1061, Kind::GroupBox, 143, 159, 127, 57, "ﾍﾟﾝ設定", "Pen Setting"},
             {1097, Kind::GroupBox, 149, 171, 64, 40, "ﾍﾟﾝ･ｸﾞﾚｲ率を使用", "Change Pen Setting"},
             {1063, Kind::Radio, 152, 181, 39, 10, "する(&Y)", "Yes"},
             {1064, Kind::Radio, 152, 197, 42, 10, "しない(&N)", "No"},
             {1065, Kind::PushButton, 219, 175, 46, 14, "ﾍﾟﾝ設定...", "Pen Setting..."},
             {1, Kind::DefPushButton, 75, 222, 50, 14, "OK", "OK"},
             {2, Kind::PushButton, 156, 222, 50, 14, "ｷｬﾝｾﾙ", "Cancel"},
         },
         {1062, 1066, 1067}},
        {"PEN_LUMEN_CFG", "ﾍﾟﾝ設定", "Pen Setting",
         {{"", 208, 191}, {"_ENG", 208, 191}, {"_GER", 208, 191}, {"_SPA", 208, 191}, {"_FRE", 241, 191},
          {"_ITA", 238, 191}},
         {
             {117, Kind::Static, 8, 8, 104, 8, "ﾍﾟﾝ番号  ｸﾞﾚｲ率(0-100%)  ﾍﾟﾝ幅", "Pen No. Gray Value(0-100) Pen Width"},
             {1060, Kind::ListBox, 13, 21, 96, 129, nullptr, nullptr},
             {1065, Kind::PushButton, 120, 21, 77, 14, "設定を初期値に戻す", "Default Pen Setting"},
             {1061, Kind::Static, 120, 69, 34, 8, "ｸﾞﾚｲ率(&G):", "&Gray Value:"},
             {1063, Kind::Edit, 158, 67, 40, 13, nullptr, nullptr},
             {1062, Kind::Static, 120, 99, 31, 8, "ﾍﾟﾝ幅(&W):", "Pen &Width:"},
             {1064, Kind::Edit, 158, 98, 40, 13, nullptr, nullptr},
             {1, Kind::DefPushButton, 39, 167, 50, 14, "OK", "OK"},
             {2, Kind::PushButton, 120, 167, 50, 14, "ｷｬﾝｾﾙ", "Cancel"},
         },
         {}},
        {"STAMP_CFG", "ｽﾀﾝﾌﾟ機能設定", "Stamp Setting",
         {{"", 257, 194}, {"_ENG", 257, 194}, {"_FRE", 257, 194}, {"_GER", 257, 194}, {"_ITA", 257, 194},
          {"_SPA", 257, 194}},
         {
             {1066, Kind::GroupBox, 5, 7, 247, 65, "ﾃｷｽﾄ･ｽﾀﾝﾌﾟ位置設定", "Stamp Position Setting"},
             {1067, Kind::Static, 11, 20, 67, 8, "ﾃｷｽﾄ･ｽﾀﾝﾌﾟ位置(&P):", "Stamp &Position: "},
             {1080, Kind::ComboBox, 83, 19, 73, 85, nullptr, nullptr},
             {-1, Kind::GroupBox, 164, 15, 80, 50, "ｵﾌｾｯﾄ", "Offset"},
             {117, Kind::Static, 174, 29, 19, 8, "X (&X):", "&X :"},
             {115, Kind::Edit, 198, 28, 40, 13, nullptr, nullptr},
             {118, Kind::Static, 173, 48, 20, 8, "Y (&Y):", "&Y :"},
             {119, Kind::Edit, 198, 47, 40, 13, nullptr, nullptr},
             {110, Kind::Static, 5, 83, 47, 8, "ﾌｫﾝﾄ･ｻｲｽﾞ(&S):", "Font &Size: "},
             {1072, Kind::ComboBox, 56, 81, 41, 85, nullptr, nullptr},
             {1068, Kind::GroupBox, 105, 76, 53, 40, "印字方法", "Stamp Mode"},
             {1069, Kind::Radio, 108, 85, 48, 10, "上書き(&O)", "&Opaque"},
             {1070, Kind::Radio, 108, 101, 42, 10, "透過(&R)", "T&ransparent"},
             {1084, Kind::GroupBox, 166, 76, 53, 40, "日付をｽﾀﾝﾌﾟ", "Date Stamp"},
             {1086, Kind::Radio, 169, 85, 40, 10, "する(&N)", "O&n"},
             {1088, Kind::Radio, 169, 101, 45, 10, "しない(&F)", "O&ff"},
             {1071, Kind::Static, 6, 126, 35, 8, "図面名(&D):", "&Drawing Name: "},
             {1081, Kind::Edit, 46, 127, 112, 13, nullptr, nullptr},
             {1073, Kind::Static, 6, 148, 28, 8, "ｺﾒﾝﾄ(&C):", "&Comment:"},
             {116, Kind::Edit, 46, 146, 205, 13, nullptr, nullptr},
             {1, Kind::DefPushButton, 63, 171, 50, 14, "OK", "OK"},
             {2, Kind::PushButton, 144, 171, 50, 14, "ｷｬﾝｾﾙ", "Cancel"},
         },
         {}},
        {"MODELCFG", "機種選択", "Selection of model",
         {{"", 189, 161}, {"_ENG", 189, 161}, {"_FRE", 189, 161}, {"_GER", 189, 161}, {"_ITA", 189, 161},
          {"_SPA", 189, 161}},
         {
             {1073, Kind::OwnerDraw, 17, 17, 43, 40, "TX-90", "TX-90"},
             {1074, Kind::OwnerDraw, 72, 17, 43, 40, "TX-70", "TX-70"},
             {1075, Kind::OwnerDraw, 127, 17, 43, 40, "TX-30", "TX-30"},
             {1076, Kind::OwnerDraw, 17, 70, 43, 40, "Lumen Q1", "Lumen Q1"},
             {1077, Kind::OwnerDraw, 72, 70, 43, 40, "TXSeries", "TXSeries"},
             {1, Kind::DefPushButton, 69, 128, 50, 14, "OK", "OK"},
         },
         {}},
    };
}

}  // namespace tavix::testing
