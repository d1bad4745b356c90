#pragma once

#include "core/services/ConsoleServices.h"

#include <QList>
#include <QStringList>
#include <QWidget>

namespace qelt::test {

// A main window that records what reaches its command box, the closing
// patterns, lamp and indicator changes, and keeps the master switch's text slot.
class FakeMainWindow : public MainWindowService {
public:
    FakeMainWindow()
    {
        m_txtCommand.setHandler([this](const QString &text) {
            if (text.isEmpty())
                return;
            received << text;
            // The console empties the box once it has acted on the text.
            m_txtCommand.setText({});
        });
    }

    QStringList received;
    bool tips = false;
    QString house = "A";
    int returns = 0;
    QList<bool> lamps;
    bool indicator = false;
    QWidget window;

    QWidget *widget() override { return &window; }
    void frmReturn() override { ++returns; }
    bool strtGroup(int, const QString &) override { return false; }
    void setLamp(bool lit) override { lamps << lit; }
    void setTimerIndicator(bool on) override { indicator = on; }
    void setRecordingFlash(bool) override {}
    Mailbox &lblGrp() override { return m_lblGrp; }
    Mailbox &lblGrpSave() override { return m_lblGrpSave; }
    Mailbox &txtCommand() override { return m_txtCommand; }
    QString groupLabel(int) const override { return {}; }
    void setGroupLabel(int, const QString &) override {}
    bool toolTipsOn() const override { return tips; }
    bool mnuTipsChecked() const override { return tips; }
    QString timersSwitchTag() const override { return m_switchTag; }
    void setTimersSwitchTag(const QString &text) override { m_switchTag = text; }
    QString houseLetter() const override { return house; }
    Mailbox *optionBox(const QString &) override { return nullptr; }
    void setMnuMinToTray(bool) override {}
    bool mnuAssociateChecked() const override { return false; }
    void setMnuAssociate(bool) override {}
    void setMnuPanicRunText(const QString &) override {}

private:
    Mailbox m_lblGrp;
    Mailbox m_lblGrpSave;
    Mailbox m_txtCommand;
    QString m_switchTag;
};

} // namespace qelt::test
