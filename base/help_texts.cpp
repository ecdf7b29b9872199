#include "base/help_texts.h"

#include "base/control_ids.h"

const std::vector<HelpText>& MainHelpTexts() {
    static const std::vector<HelpText> table = {
        {ids::LblCommand,
         "hier können Sie direkt HPGL-Kommandos\r\n"
         "eingeben, welche direkt vom KT4180-Controller\r\n"
         "ausgeführt werden (z.B. PD; PR250,100; PU;  u.s.w.)"},
        {ids::SBar1, "Datei/Größe/X-Ausdehnung/Y-Ausdehnung/\r\nWerkzeuge in Benutzung"},
        {ids::BtnOpenPlot, "Eine Plt-Datei öffnen"},
        {ids::BtnFindController, "KT4180-Controller an COM-Schnittstelle\r\nsuchen und öffnen..."},
        {ids::BtnSaveImage, "Grafik speichern\r\n(BMP/PNG/JPG/GIF)"},
        {ids::LblComPort, "grün: Comport geöffnet"},
        {ids::JogXPlus, "+X Steps (nach rechts)"},
        {ids::JogXMinus, "-X Steps (nach links)"},
        {ids::JogYPlus, "+Y Steps (nach hinten)"},
        {ids::JogYMinus, "-Y Steps (nach vorn)"},
        {ids::JogZDown, "+Z Steps nach unten"},
        {ids::TxtSteps, "Anzahl Steps je Button-Click"},
        {ids::JogZUp, "-Z Steps nach oben"},
        {ids::JogXMinusYPlus, "X/Y-Steps nach links hinten"},
        {ids::JogXMinusYMinus, "X/Y-Steps nach links vorn"},
        {ids::JogXPlusYPlus, "X/Y-Steps nach rechts hinten"},
        {ids::JogXPlusYMinus, "X/Y-Steps nach rechts vorn"},
        {ids::JogPenUp, "Z-Nullpunkt (ganz oben) anfahren (=PU)"},
        {ids::JogPenDown, "ganz nach unten fahren (=PD)"},
        {ids::JogReference, "X/Y/Z-Referenzfahrt\r\n(zu den Endschaltern)"},
        {ids::JogZeroPoint, "X/Y/Z-Nullpunktfahrt\r\n(Ref.-, dann Nullfahrt)"},
        {ids::BtnStep, "Nächstes Kommando aus der\r\n *.plt-Datei ausführen.."},
        {ids::BtnRun, "Die gesamte\r\n *.plt-Datei ausführen.."},
        {ids::TxtPosX, "vom Contr. gemeldete\r\nX-Position (in mm)"},
        {ids::TxtPosY, "vom Contr. gemeldete\r\nY-Position (in mm)"},
        {ids::TxtPosZ, "vom Contr. gemeldete\r\nZ-Position (in mm)"},
        {ids::TxtPen, "vom Contr. gemeldete\r\nWerkzeug-Nr. (Pen)"},
        {ids::BtnMonitor, "Monitorfenster zeigt Datenverkehr"},
        {ids::TxtCommand,
         "direkte Ausführung\r\nvon HPGL-Kommandos\r\nwie zum Beispiel:\r\nPR 550,-340\r\nPD;\r\nZR-200"},
        {ids::BtnSetup, "KT4180-Konfiguration\r\nverwalten"},
        {ids::BtnSettings, "Programmeinstellungen"},
    };
    return table;
}

const std::vector<HelpText>& ExtraHelpTexts() {
    static const std::vector<HelpText> table = {
        {1042, "neue PLT-Datei..."},
        {ids::TxtRxCount, "Anzahl der empf.\r\nZeichen (RXCNT)"},
        {ids::TxtTxCount, "Anzahl der gesend.\r\nZeichen (TXCNT)"},
    };
    return table;
}

const std::vector<HelpText>& MonitorHelpTexts() {
    static const std::vector<HelpText> table = {
        {ids::TxtMonitorTx, "RS232-Datenstrom\r\nvom PC zum Controller"},
        {ids::TxtMonitorRx, "RS232-Datenstrom\r\nvom Controller zum PC"},
    };
    return table;
}

const std::vector<HelpText>& SetupHelpTexts() {
    static const std::vector<HelpText> table = {
        {ids::BtnCfgWrite, "Konfiguration im\r\nController speichern"},
        {ids::BtnCfgRead, "Controller auslesen"},
        {ids::BtnCfgVerify, "Controller gegen Konfiguration prüfen"},
        {ids::BtnCfgLoad, "Konfiguration aus\r\nDatei einlesen"},
        {ids::BtnCfgSave, "Konfiguration in\r\nDatei speichern"},
        {ids::BtnCfgSaveAs, "Konfiguration in einer\r\nneuen Datei speichern"},
        {ids::BtnCfgFactoryReset, "Reset Controller\r\n(Werkseinstellungen)"},
    };
    return table;
}
