#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

class TForm1;

// The preview: the code editor's current text written to the preview file and shown in the
// "预览" page (web1) or handed to the desktop's default browser.
class PreviewPane : public QObject
{
public:
    explicit PreviewPane(TForm1& form);

    // Writes the editor's text to the preview file, in an encoding the page can be read in.
    void WritePreviewFile();
    // A page turned by the user: "预览" shows the page, "代码" leaves it.
    void PageControl1Change();
    // "快速预览" (F11): shows the page and turns to it.
    void N14Click();
    // "IE预览" (F12): opens the page in the desktop's browser.
    void ActIEExecute();

private:
    // The script a page was written for, by the bytes its row is found by; empty when none was
    // open.
    struct ShownScript
    {
        QByteArray stored;
        QString name;
        friend bool operator==(const ShownScript&, const ShownScript&) = default;
    };
    ShownScript currentScript() const;
    // Writes the preview file and shows it in the page, as the current script's.
    void showPage();
    void currentScriptChanged();
    // Turns back to "代码" when the current script is no longer the one whose page is shown.
    void leaveAnotherScriptsPage();

    TForm1& m_form;
    ShownScript m_shown;
};
