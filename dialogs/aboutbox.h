#pragma once

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class TBitBtn;
class TXPLook;

// The about box: the product picture and release note, a link to the maker's home page. Shown
// modally, made afresh for every showing and destroyed when it closes.
class TFmabout : public QDialog
{
    Q_OBJECT
public:
    // The result the home page button ends the window with.
    static constexpr int kHomePageResult = 5;

    explicit TFmabout(QWidget* owner);

    // The release note exactly as the memo shows it.
    static QString releaseNote();

    void Image1Click();
    void BitBtn2Click();
    void BitBtn1Click();

    QLabel* Image1 = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    TBitBtn* BitBtn2 = nullptr;
    TBitBtn* BitBtn1 = nullptr;
    TXPLook* XPLook1 = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
