#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

struct AppPlaces;
class CurrentScript;
class PageView;
class StatusBar;
class TDBMemo;
class QTabWidget;

// The preview: the code editor's current text written to the preview file and shown in the
// "预览" page or handed to the desktop's default browser.
class PreviewPane : public QObject
{
    Q_OBJECT
public:
    struct Parts
    {
        // The "代码" and "预览" pages, and the view on the second.
        QTabWidget* pages;
        PageView* pageView;
        TDBMemo* codeMemo;
        StatusBar* statusBar;
        // Where the preview file is written.
        const AppPlaces* places;
    };

    PreviewPane(const Parts& parts, CurrentScript& current, QObject* parent);

    // Writes the editor's text to the preview file, in an encoding the page can be read in.
    void writePreviewFile();
    // The preview file's path, once it was written.
    const QString& previewFile() const { return m_previewFile; }
    // A page turned by the user: "预览" shows the page, "代码" leaves it.
    void followTurnedPage();
    // Shows the page and turns to it.
    void showQuickPreview();
    // Opens the page in the desktop's browser.
    void openInBrowser();

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
    // Turns back to "代码" when the current script is no longer the one whose page is shown.
    void leaveAnotherScriptsPage();

    Parts m_parts;
    CurrentScript& m_current;
    QString m_previewFile;
    ShownScript m_shown;
};
