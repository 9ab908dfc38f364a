#include "TrayEntry.h"

#include "Forms.h"
#include "Globals.h"
#include "KAVIstp.h"
#include "KvIntl.h"
#include "KvSrMgr.h"
#include "KvTGRes.h"
#include "KvUser.h"
#include "OgFirst.h"

namespace tray {

void InitTrayUnits() {
    velfw::InitFormsUnit();
    kv::InitKvUserUnit();
    kv::InitKvSrMgrUnit();
    kv::InitKvConstUnit();
    kv::InitKvIntlUnit();
    kv::InitKvTGResUnit();
    // The mutex is named from the application window's default title.
    velfw::Application->Initialize();
    InitOgFirstUnit();
}

void DoneTrayUnits() {
    DoneOgFirstUnit();
    // The forms (and the controller on the main one) go before the library
    // units they use.
    velfw::DoneFormsUnit();
    kv::DoneKvTGResUnit();
    kv::DoneKvIntlUnit();
    kv::DoneKvConstUnit();
    kv::DoneKvSrMgrUnit();
    kv::DoneKvUserUnit();
}

int TrayMain() {
    try {
        InitTrayUnits();
        globals::ReadsRadonW = false;
        velfw::Application->SetTitle("Velunor");
        velfw::Application->HelpFile = "KAVI.HLP";
        if (IsFirstInstance()) {
            velfw::Application->ShowMainForm = false;
            velfw::Application->CreateForm<TForm1>();
            velfw::Application->Run();
        } else {
            ActivateFirstInstance();
        }
    } catch (...) {
        velfw::ReportCurrentException();
    }
    DoneTrayUnits();
    return 0;
}

}  // namespace tray
