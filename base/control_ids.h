#pragma once

// Control ids of every window of the program. The one message handler serves all windows,
// so an id names the same control wherever it appears.

namespace ids {

// Main dialog
constexpr int BtnOpenPlot = 1004;
constexpr int BtnFindController = 1005;
constexpr int BtnSaveImage = 1006;
constexpr int BtnStep = 1007;
constexpr int BtnRun = 1008;
constexpr int BtnStop = 1011;
constexpr int BtnMonitor = 1012;
constexpr int BtnSetup = 1013;
constexpr int BtnSettings = 1014;
constexpr int SBar1 = 1029;
constexpr int ProgressRun = 1030;
constexpr int GfxPreview = 1033;
constexpr int LblControllerOn = 1036;
constexpr int LblComPort = 1037;
constexpr int TxtCommand = 1040;
constexpr int LblCommand = 1041;
constexpr int LblSteps = 1062;
constexpr int TxtSteps = 1063;
constexpr int JogZUp = 1069;
constexpr int JogZDown = 1070;
constexpr int JogReference = 1074;
constexpr int JogZeroPoint = 1075;
constexpr int FrmManual = 1077;
constexpr int FrmAuto = 1078;
constexpr int TxtPosX = 1079;
constexpr int LblX = 1080;
constexpr int LblY = 1082;
constexpr int LblZ = 1084;
constexpr int TxtPosY = 1085;
constexpr int TxtPosZ = 1086;
constexpr int TxtPen = 1093;
constexpr int LblP = 1094;
constexpr int JogXMinusYPlus = 1144;
constexpr int JogYPlus = 1145;
constexpr int JogXPlusYPlus = 1146;
constexpr int JogXMinus = 1147;
constexpr int JogXPlus = 1149;
constexpr int JogXMinusYMinus = 1150;
constexpr int JogYMinus = 1151;
constexpr int JogXPlusYMinus = 1152;
constexpr int JogPenUp = 1153;
constexpr int JogPenDown = 1154;
constexpr int FrmPosition = 1155;
constexpr int BtnQueryPosition = 1387;

// Line monitor
constexpr int TxtMonitorTx = 0x414;
constexpr int TxtMonitorRx = 0x415;
constexpr int ChkTrafficLog = 0x417;
constexpr int TxtRxCount = 0x442;
constexpr int TxtTxCount = 0x444;
constexpr int LblToController = 0x470;
constexpr int LblFromController = 0x471;
constexpr int LblTxByteCount = 0x476;
constexpr int LblRxByteCount = 0x477;

// Setup dialog buttons
constexpr int BtnCfgWrite = 1156;
constexpr int BtnCfgRead = 1157;
constexpr int BtnCfgLoad = 1158;
constexpr int BtnCfgSave = 1159;
constexpr int BtnCfgSaveAs = 1160;
constexpr int BtnCfgOk = 1161;
constexpr int BtnCfgVerify = 1385;
constexpr int BtnCfgFactoryReset = 1388;

// Progress window
constexpr int ProgressBar = 1346;
constexpr int ProgressText = 1347;

// Setup dialog, besides its fields (the register table's ids) and its buttons (BtnCfg*)
constexpr int LblToolColumns = 1340;
constexpr int FrmTools = 1342;
constexpr int FrmOutput = 1343;
constexpr int FrmMotors = 1344;
constexpr int SetupStatusBar = 1386;
}  // namespace ids
