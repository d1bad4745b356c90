#pragma once

#include "core/services/ConsoleServices.h"

#include <QStringList>
#include <QWidget>

namespace qelt::test {

// A main window that records what reaches its command box.
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
    QWidget window;

    QWidget *widget() override { return &window; }
    void CroSend(const QString &) override {}
    void frmReturn() override {}
    bool strtGroup(int, const QString &) override { return false; }
    void setLamp(bool) override {}
    void setTimerIndicator(bool) override {}
    void setRecordingFlash(bool) override {}
    Mailbox &lblGrp() override { return m_lblGrp; }
    Mailbox &lblGrpSave() override { return m_lblGrpSave; }
    Mailbox &txtCommand() override { return m_txtCommand; }
    QString groupLabel(int) const override { return {}; }
    void setGroupLabel(int, const QString &) override {}
    bool toolTipsOn() const override { return tips; }
    bool mnuTipsChecked() const override { return tips; }
    bool timersSwitchOn() const override { return false; }
    QString timersSwitchTag() const override { return {}; }
    void setTimersSwitchTag(const QString &) override {}
    QString houseLetter() const override { return "A"; }
    Mailbox *optionBox(const QString &) override { return nullptr; }
    void setMnuMinToTray(bool) override {}
    bool mnuAssociateChecked() const override { return false; }
    void setMnuAssociate(bool) override {}
    void setMnuPanicRunText(const QString &) override {}

private:
    Mailbox m_lblGrp;
    Mailbox m_lblGrpSave;
    Mailbox m_txtCommand;
};

} // namespace qelt::test
