// Creation and destruction of the main window.

#include "app/TfrmMain.h"

TfrmMain::TfrmMain(PlatformServices services, QWidget* parent)
    : QWidget(parent), FServices(std::move(services)) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Tovaline"));
    createControls();
    FormCreate();
}

TfrmMain::~TfrmMain() {
    if (!FDestroyed) {
        FDestroyed = true;
        FormDestroy();
    }
}

void TfrmMain::FormCreate() {
    LoadSkin();
    FCurrentState = rsNormal;
    btnListClick(this);
}

void TfrmMain::FormDestroy() {}
