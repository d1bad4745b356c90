#pragma once

#include <QString>
#include <QWidget>

class QPagedPaintDevice;
class QTextDocument;

class QPlainTextEdit;
class QPushButton;

namespace qelt {

// Prints text as one block on the default printer (Arial, the listing's
// TAB stops kept). When a PDF file is set with SetPrintToFile, the text
// goes into that file instead, so that printing can be tried without a
// printer. False, with *error holding the message "Error <number>" + CR LF +
// description, when it could not be printed.
bool PrintText(const QString &text, QString *error = nullptr);
// The document PrintText prints: the text laid out for the device's page in
// the listing's font, made smaller where needed so that no line wraps.
void PrepareListingDocument(QTextDocument &document, const QString &text,
                            QPagedPaintDevice *device);
// "" prints on the default printer again.
void SetPrintToFile(const QString &pdfPath);

// "Print Preview": the macro listing in a text box, with Print and Close.
class frmPreview : public QWidget {
    Q_OBJECT
public:
    explicit frmPreview(QWidget *parent = nullptr);

    QPlainTextEdit *txtPreview;
    QPushButton *Command1; // "&Print"
    QPushButton *Command2; // "&Close"

    bool loaded() const { return m_loaded; }
    void Form_Load();
    void Form_Unload();
    void Command1_Click();
    void Command2_Click();

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void placeOnScreen();

    bool m_loaded = false;
    bool m_placed = false;
};

// The preview window of this run, made (and loaded hidden) on first use.
frmPreview *PreviewWindow();

} // namespace qelt
