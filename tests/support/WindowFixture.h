#pragma once
// The main window made the way the program makes it, in a program folder of
// its own with the platform services faked.

#include "app/TfrmMain.h"
#include "tests/support/FakePlatformServices.h"
#include "tests/support/QtFixture.h"
#include "tests/support/TempFolder.h"
#include "ui/TListBox.h"

#include <QStringList>

#include <filesystem>
#include <memory>

// What a list shows, top to bottom.
inline QStringList Entries(const TListBox* list) {
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}

class WindowFixture : public QtFixture {
protected:
    QString programFolder() const { return QString::fromStdString(dir.path().string()); }

    // An installed config.xml, so start-up shows no warning of its own; one
    // the test wrote first is kept.
    void installConfig() const {
        if (!std::filesystem::exists(dir / "config.xml"))
            TempFolder::write(dir / "config.xml", "<Config/>");
    }

    std::unique_ptr<TfrmMain> makeWindow() {
        return std::make_unique<TfrmMain>(fakes.make(programFolder()));
    }

    TempFolder dir;
    FakeServices fakes;
};
