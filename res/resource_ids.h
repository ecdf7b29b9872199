/* Resource ids of the bitmaps and icons compiled into the program: the .rc file and the code
   both take them from here. IDI_ names an icon, IDB_ a bitmap. */
#ifndef KT4180_RESOURCE_IDS_H
#define KT4180_RESOURCE_IDS_H

#define IDI_MAIN 1102
#define IDI_FIND_CONTROLLER 1107
#define IDI_SAVE_IMAGE 1108
#define IDB_Z_UP 1117
#define IDB_Z_DOWN 1118
#define IDB_REFERENCE 1123
#define IDB_ZERO_POINT 1124
#define IDB_RUN 1127
#define IDB_STEP 1128
#define IDB_STOP 1129
#define IDB_OPEN_PLOT 1134
#define IDI_WINDOW 1135
#define IDI_MONITOR 1136
#define IDB_X_MINUS_Y_PLUS 1137
#define IDB_Y_PLUS 1138
#define IDB_X_PLUS_Y_PLUS 1139
#define IDB_X_MINUS 1140
#define IDB_X_MINUS_Y_MINUS 1142
#define IDB_Y_MINUS 1143
#define IDB_X_PLUS_Y_MINUS 1144
#define IDB_X_PLUS 1145
#define IDB_PEN_DOWN 1146
#define IDB_PEN_UP 1147
#define IDB_SETTINGS 1148
#define IDB_SETUP 1149
#define IDB_CFG_WRITE 1150
#define IDB_CFG_READ 1151
#define IDB_CFG_SAVE 1152
#define IDB_CFG_LOAD 1153
#define IDB_CFG_SAVE_AS 1154
#define IDB_CFG_VERIFY 1156
#define IDB_CFG_FACTORY_RESET 1157

#endif
