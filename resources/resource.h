/* Control and bitmap ids of the driver's dialogs: the one header that the
 * resource script, the dialog procedures and the native dialog stand-in
 * share. Several dialogs reuse a number for different controls; each
 * dialog's ids carry its prefix. */
#ifndef TAVIX_RESOURCE_H
#define TAVIX_RESOURCE_H

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

/* Bitmaps. */
#define IDB_BADGE                  101  /* maker's logo, 59 x 28, 16 colours */
#define IDB_MODEL_FIRST            123  /* 123..127: model pictures, 85 x 80, 256 colours */
#define IDB_MODEL_SELECTED_FIRST   128  /* 128..132: the same in a red frame */

/* Device setting dialog (DRIVERCFG, DETAILCFG). */
#define IDC_DEVICE_PAPER_GROUP     104
#define IDC_DEVICE_PAPER_LABEL     108
#define IDC_DEVICE_PAPER_SIZE      105
#define IDC_DEVICE_MARGIN_GROUP    1000
#define IDC_DEVICE_MARGIN_ON       1082
#define IDC_DEVICE_MARGIN_OFF      1083
#define IDC_DEVICE_COPIES_LABEL    116
#define IDC_DEVICE_COPIES          114
#define IDC_DEVICE_COPIES_SPIN     115
#define IDC_DEVICE_OUTPUT_GROUP    1047
#define IDC_DEVICE_MODE_GROUP      1042
#define IDC_DEVICE_OUTPUT_OPTION   1043
#define IDC_DEVICE_OUTPUT_STANDARD 1044
#define IDC_DEVICE_OPTION_SETTING  1046
#define IDC_DEVICE_FILL_GROUP      1011
#define IDC_DEVICE_FILL_BLACK      1012
#define IDC_DEVICE_FILL_HALFTONE   1013
#define IDC_DEVICE_LINE_END_LABEL  1079
#define IDC_DEVICE_LINE_END        1078
#define IDC_DEVICE_BADGE           1026
#define IDC_DEVICE_COLOR_GROUP     1008
#define IDC_DEVICE_COLOR           1009
#define IDC_DEVICE_MONOCHROME      1010

/* Option setting dialog (ADD_FUNC_CFG). */
#define IDC_OPTION_OUTPUT_GROUP      1060
#define IDC_OPTION_MEDIA_LABEL       109
#define IDC_OPTION_MEDIA_TYPE        106
#define IDC_OPTION_TRAY_LABEL        1085
#define IDC_OPTION_TRAY              113
#define IDC_OPTION_CUT_GROUP         1052
#define IDC_OPTION_CUT_STANDARD      1053
#define IDC_OPTION_CUT_SYNCHRONOUS   1054
#define IDC_OPTION_MIRROR_GROUP      1090
#define IDC_OPTION_MIRROR_ON         1091
#define IDC_OPTION_MIRROR_OFF        1092
#define IDC_OPTION_CENTERING_GROUP   1049
#define IDC_OPTION_CENTERING_ON      1087
#define IDC_OPTION_CENTERING_OFF     1089
#define IDC_OPTION_STAMP_FRAME       1055
#define IDC_OPTION_STAMP_GROUP       1056
#define IDC_OPTION_STAMP_ON          1057
#define IDC_OPTION_STAMP_OFF         1058
#define IDC_OPTION_STAMP_SETTING     1059
#define IDC_OPTION_ORIENTATION_GROUP 1062
#define IDC_OPTION_PORTRAIT          1066
#define IDC_OPTION_LANDSCAPE         1067
#define IDC_OPTION_PRINT_GROUP       1093
#define IDC_OPTION_INVERT_GROUP      1094
#define IDC_OPTION_INVERT_ON         1095
#define IDC_OPTION_INVERT_OFF        1096
#define IDC_OPTION_DENSITY_LABEL     1098
#define IDC_OPTION_DENSITY           1099
#define IDC_OPTION_DENSITY_SPIN      117
#define IDC_OPTION_DENSITY_HINT      1100
#define IDC_OPTION_PEN_FRAME         1061
#define IDC_OPTION_PEN_GROUP         1097
#define IDC_OPTION_PEN_YES           1063
#define IDC_OPTION_PEN_NO            1064
#define IDC_OPTION_PEN_SETTING       1065

/* Pen setting dialog (PEN_LUMEN_CFG). */
#define IDC_PEN_HEADING            117
#define IDC_PEN_LIST               1060
#define IDC_PEN_DEFAULTS           1065
#define IDC_PEN_GRAY_LABEL         1061
#define IDC_PEN_GRAY               1063
#define IDC_PEN_WIDTH_LABEL        1062
#define IDC_PEN_WIDTH              1064

/* Stamp setting dialog (STAMP_CFG). */
#define IDC_STAMP_POSITION_GROUP   1066
#define IDC_STAMP_POSITION_LABEL   1067
#define IDC_STAMP_POSITION         1080
#define IDC_STAMP_OFFSET_X_LABEL   117
#define IDC_STAMP_OFFSET_X         115
#define IDC_STAMP_OFFSET_Y_LABEL   118
#define IDC_STAMP_OFFSET_Y         119
#define IDC_STAMP_FONT_SIZE_LABEL  110
#define IDC_STAMP_FONT_SIZE        1072
#define IDC_STAMP_MODE_GROUP       1068
#define IDC_STAMP_OPAQUE           1069
#define IDC_STAMP_TRANSPARENT      1070
#define IDC_STAMP_DATE_GROUP       1084
#define IDC_STAMP_DATE_ON          1086
#define IDC_STAMP_DATE_OFF         1088
#define IDC_STAMP_DRAW_NAME_LABEL  1071
#define IDC_STAMP_DRAW_NAME        1081
#define IDC_STAMP_COMMENT_LABEL    1073
#define IDC_STAMP_COMMENT          116

/* Model selection dialog (MODELCFG): buttons for model rows 0..4. */
#define IDC_MODEL_FIRST            1073
#define IDC_MODEL_TX90             1073
#define IDC_MODEL_TX70             1074
#define IDC_MODEL_TX30             1075
#define IDC_MODEL_LUMEN_Q1         1076
#define IDC_MODEL_TX_SERIES        1077

#endif
