#pragma once

#include <QDialog>

class QGroupBox;
class QLabel;
class QLineEdit;
class TBitBtn;

// The network import settings window: address, user name, password and proxy. The import itself
// does not exist; the window is not modal, one new window per use, destroyed when it closes.
class TFmImport : public QDialog
{
    Q_OBJECT
public:
    explicit TFmImport(QWidget* owner);

    void BitBtn1Click();
    void BitBtn2Click();

    QLineEdit* Edit1 = nullptr; // address
    QLineEdit* Edit3 = nullptr; // user name
    QLineEdit* Edit4 = nullptr; // password, shown in clear
    QGroupBox* GroupBox1 = nullptr;
    QLineEdit* Edit5 = nullptr; // proxy address
    QLineEdit* Edit6 = nullptr; // proxy port
    TBitBtn* BitBtn1 = nullptr;
    TBitBtn* BitBtn2 = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    bool m_placed = false;
};
