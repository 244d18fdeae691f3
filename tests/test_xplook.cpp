// The look component on real widgets: what its walk hooks in the program's windows and under
// which kinds, tags and sets; its properties, setters and palette; and the hook record's state
// as real events drive it.

#include "base/feylumeerror.h"
#include "dbctrls/dbedit.h"
#include "dialogs/aboutbox.h"
#include "main/form1.h"
#include "support/libraryfixture.h"
#include "support/mainwindowfixture.h"
#include "support/pendingevents.h"
#include "support/windowparts.h"
#include "widgets/bitbtn.h"
#include "widgets/panel.h"
#include "widgets/statusbar.h"
#include "xplook/componenttag.h"
#include "xplook/controlsubclass.h"
#include "xplook/xplook.h"

#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>

using namespace XP;

// Kinds the program has no use for, named as the look knows them.
class TFrame : public QWidget
{
    Q_OBJECT
public:
    using QWidget::QWidget;
};

class TUpDown : public QWidget
{
    Q_OBJECT
public:
    using QWidget::QWidget;
};

class TOwnBitBtn : public TBitBtn
{
    Q_OBJECT
public:
    using TBitBtn::TBitBtn;
};

namespace {
template<typename W> W* make(QWidget* parent, const char* name)
{
    auto* widget = new W(parent);
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// A window with one control of every kind, in every kind of parent.
struct KindsWindow
{
    QDialog form;
    KindsWindow()
    {
        form.setObjectName(QStringLiteral("form"));
        make<QLineEdit>(&form, "edit");
        make<TDBEdit>(&form, "dbedit");
        setTag(make<QLineEdit>(&form, "tagged"), kTagNeverHooked);
        make<QLineEdit>(make<TPanel>(&form, "panel"), "inPanel");
        auto* shut = make<TPanel>(&form, "shut");
        setTag(shut, kTagNeverHooked);
        make<QLineEdit>(shut, "inShut");
        make<QLineEdit>(new StatusBar({50}, &form), "onStatus");
        make<TBitBtn>(&form, "bit");
        make<TOwnBitBtn>(&form, "ownBit");
        make<QPushButton>(&form, "plainButton");
        make<TUpDown>(&form, "updown");
        make<QPlainTextEdit>(&form, "memo");
        make<QTextEdit>(&form, "rich");
        make<QLineEdit>(make<TFrame>(&form, "frame"), "inFrame");
        auto* owned = make<QDialog>(&form, "ownedForm");
        make<QLineEdit>(owned, "inOwnedForm");
        auto* pages = make<QTabWidget>(&form, "pages");
        auto* page = make<QWidget>(pages, "page");
        make<QCheckBox>(page, "onPage");
        pages->addTab(page, QStringLiteral("page"));
        make<QRadioButton>(make<QGroupBox>(&form, "group"), "radio");
        make<QToolButton>(&form, "speed");
        make<QToolButton>(make<QToolBar>(&form, "bar"), "barButton");
    }
};

QStringList hookedControls(const TXPLook& look)
{
    QStringList names;
    for (const QPointer<TControlSubClass>& record : look.hookRecords()) {
        if (record && record->isInstalled())
            names << record->Control->objectName();
    }
    names.sort();
    return names;
}

QStringList hookedBars(const TXPLook& look)
{
    QStringList names;
    for (const QPointer<QWidget>& bar : look.hookedBars()) {
        if (bar)
            names << bar->objectName();
    }
    names.sort();
    return names;
}

QStringList sorted(QStringList names)
{
    names.sort();
    return names;
}

void pinPalette()
{
    QPalette palette = QApplication::palette();
    palette.setColor(QPalette::Button, QColor(212, 208, 200));
    palette.setColor(QPalette::Highlight, QColor(10, 36, 106));
    palette.setColor(QPalette::Dark, QColor(128, 128, 128));
    palette.setColor(QPalette::WindowText, QColor(0, 0, 0));
    QApplication::setPalette(palette);
}
} // namespace

class TestXPLook : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    // The walk
    void mainWindowHooksTheListedControlsAndToolBar();
    void aboutBoxHooksItsMemoAndButtons();
    void walkByKindSetAndTag_data();
    void walkByKindSetAndTag();
    void menusByTag();
    void settingActiveToItsValueRunsNoWalk();
    void changingControlSetRehooks();
    void deactivationGivesControlsBack();
    void secondRecordIsNotInstalled();
    void destroyedControlOrComponentLeavesNothingBehind();
    void ownerMustBeAFormFrameOrScrollBox();
    void autoDetectHooksLaterControls();

    // Properties and palette
    void publishedDefaultsAndStoredValues_data();
    void publishedDefaultsAndStoredValues();
    void trueXPStyleResetsItsColours();
    void paletteFromApplicationPalette();
    void bitmapFilters();

    // The hook record's state machine
    void focusAndPointerMakeHot();
    void pointerOverDisabledControlChangesNothing();
    void mouseButtonsAndCheckState();
    void spaceHeldRepaintsOnceReleasedOnce();
    void doubleClickIsAPressOnButtonsOnly();
    void keepHookAcrossStyleChangeUntilPaint();
    void negativeTagIsNeverPaintedOver();
    void typingRepaintsAMemosTextButNotItsFrame();
};

void TestXPLook::initTestCase()
{
    pinPalette();
}

void TestXPLook::mainWindowHooksTheListedControlsAndToolBar()
{
    LibraryFixture library;
    library.createSmall();
    std::unique_ptr<TForm1> form = startMainWindow(library.appDir());
    QVERIFY((&windowPart<TXPLook>(*form))->Active());
    QCOMPARE(hookedControls(*(&windowPart<TXPLook>(*form))),
        sorted({"Panel1", "Panel2", "Panel3", "CBX1", "ComboBox1", "DBEdit1", "DBEdit2", "DBEdit3", "Edit1",
            "DBMemo1", "DBMemo2", "rb1", "rb2", "rb3", "BitBtn1", "GroupBox1", "GroupBox2"}));
    // The menus are made after the component and keep the platform's look.
    QCOMPARE(hookedBars(*(&windowPart<TXPLook>(*form))), QStringList {"ToolBar1"});
    for (const QPointer<TControlSubClass>& record : (&windowPart<TXPLook>(*form))->hookRecords())
        QCOMPARE(record->Painter, (&windowPart<TXPLook>(*form)));
}

void TestXPLook::aboutBoxHooksItsMemoAndButtons()
{
    TFmabout box(nullptr);
    QVERIFY(box.XPLook1->Active());
    QCOMPARE(hookedControls(*box.XPLook1), sorted({"Memo1", "BitBtn1", "BitBtn2"}));
    QVERIFY(hookedBars(*box.XPLook1).isEmpty());
}

void TestXPLook::walkByKindSetAndTag_data()
{
    QTest::addColumn<uint>("controls");
    QTest::addColumn<uint>("containers");
    QTest::addColumn<QStringList>("hooked");
    QTest::newRow("everything") << uint(kAllXPControls) << uint(kAllXPContainers)
                                << sorted({"edit", "dbedit", "panel", "inPanel", "bit", "plainButton",
                                       "updown", "memo", "rich", "inFrame", "inOwnedForm", "onPage", "group",
                                       "radio", "speed"});
    QTest::newRow("the data-aware edit is a mask edit")
        << uint(xcMaskEdit) << uint(kAllXPContainers) << QStringList {"dbedit"};
    QTest::newRow("edits do not include it")
        << uint(xcEdit) << uint(kAllXPContainers) << sorted({"edit", "inPanel", "inFrame", "inOwnedForm"});
    QTest::newRow("frames only with their container kind")
        << uint(xcEdit) << uint(kAllXPContainers & ~xccFrame) << sorted({"edit", "inPanel", "inOwnedForm"});
    QTest::newRow("owned forms always walked")
        << uint(xcEdit) << uint(xccForm) << sorted({"edit", "inOwnedForm"});
    QTest::newRow("up-down under buttons; bit buttons by exact class")
        << uint(xcButton | xcBitBtn) << uint(kAllXPContainers) << sorted({"plainButton", "updown", "bit"});
    QTest::newRow("rich edits are memos too")
        << uint(xcMemo) << uint(kAllXPContainers) << sorted({"memo", "rich"});
    QTest::newRow("rich edits alone") << uint(xcRichEdit) << uint(kAllXPContainers) << QStringList {"rich"};
    QTest::newRow("tab sheets") << uint(xcCheckBox) << uint(xccTabSheet) << QStringList {"onPage"};
    QTest::newRow("no containers, nothing") << uint(kAllXPControls) << uint(0) << QStringList();
}

void TestXPLook::walkByKindSetAndTag()
{
    QFETCH(uint, controls);
    QFETCH(uint, containers);
    QFETCH(QStringList, hooked);
    KindsWindow window;
    TXPLook look(&window.form);
    look.setXPControls(controls);
    look.setXPContainers(containers);
    look.setActive(true);
    QCOMPARE(hookedControls(look), hooked);
}

void TestXPLook::menusByTag()
{
    QDialog form;
    auto* bar = make<QMenuBar>(&form, "bar");
    auto* popup = new QMenu(&form);
    popup->setObjectName(QStringLiteral("popup"));
    make<QToolBar>(&form, "tools");
    {
        TXPLook look(&form);
        look.setActive(true);
        QCOMPARE(hookedBars(look), sorted({"bar", "popup", "tools"}));
    }
    setTag(bar, kTagNeverHooked);
    setTag(popup, kTagNeverHooked);
    TXPLook look(&form);
    look.setActive(true);
    // A main menu's tag keeps it standard; a pop-up menu's own tag is not looked at.
    QCOMPARE(hookedBars(look), sorted({"popup", "tools"}));
    look.setXPControls(kAllXPControls & ~xcToolbar);
    QCOMPARE(hookedBars(look), QStringList {"popup"});
}

void TestXPLook::settingActiveToItsValueRunsNoWalk()
{
    KindsWindow window;
    TXPLook look(&window.form);
    look.setActive(true);
    const size_t records = look.hookRecords().size();
    QVERIFY(records > 0);
    look.setActive(true);
    look.setOverrideOwnerDraw(false);
    QCOMPARE(look.hookRecords().size(), records);
    look.setActive(false);
    look.setActive(false);
    // Windowed controls are given back at once; a control without a window of its own at the
    // next event it receives.
    QCOMPARE(hookedControls(look), QStringList {"speed"});
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(window.form.findChild<QWidget*>(QStringLiteral("speed")), &enter);
    QVERIFY(hookedControls(look).isEmpty());
}

void TestXPLook::changingControlSetRehooks()
{
    KindsWindow window;
    TXPLook look(&window.form);
    look.setActive(true);
    look.setXPControls(kAllXPControls & ~xcMemo & ~xcRichEdit);
    QVERIFY(!hookedControls(look).contains(QStringLiteral("memo")));
    QVERIFY(!TControlSubClass::installedOn(window.form.findChild<QWidget*>(QStringLiteral("memo"))));
    QVERIFY(hookedControls(look).contains(QStringLiteral("edit")));
    look.setXPContainers(kAllXPContainers & ~xccPanel);
    QVERIFY(!hookedControls(look).contains(QStringLiteral("inPanel")));
    QVERIFY(hookedControls(look).contains(QStringLiteral("edit")));
    // Inactive: the sets are only stored.
    look.setActive(false);
    look.setXPControls(kAllXPControls);
    QCOMPARE(hookedControls(look), QStringList {"speed"});
    QCOMPARE(look.XPControls(), kAllXPControls);
}

void TestXPLook::deactivationGivesControlsBack()
{
    QDialog form;
    auto* edit = make<QLineEdit>(&form, "edit");
    auto* memo = make<QPlainTextEdit>(&form, "memo");
    QVERIFY(ctl3D(edit) && ctl3D(memo));
    TXPLook look(&form);
    look.setActive(true);
    // What the edit painter does at the first paint: a flat single border.
    setCtl3D(edit, false);
    setCtl3D(memo, false);
    QVERIFY(!edit->hasFrame());
    QCOMPARE(memo->frameShape(), QFrame::Box);

    look.setActive(false);
    QVERIFY(!TControlSubClass::installedOn(edit));
    QVERIFY(!TControlSubClass::installedOn(memo));
    QVERIFY(edit->hasFrame());
    QCOMPARE(memo->frameShape(), QFrame::StyledPanel);
    QTRY_VERIFY(std::all_of(look.hookRecords().begin(), look.hookRecords().end(),
        [](const QPointer<TControlSubClass>& record) { return record.isNull(); }));

    look.setActive(true);
    QCOMPARE(hookedControls(look), sorted({"edit", "memo"}));
}

void TestXPLook::secondRecordIsNotInstalled()
{
    QDialog form;
    auto* edit = make<QLineEdit>(&form, "edit");
    TXPLook look(&form);
    look.setActive(true);
    TControlSubClass* first = TControlSubClass::installedOn(edit);
    QVERIFY(first);
    look.HookComponents(&form, true, false);
    QCOMPARE(look.hookRecords().size(), size_t(2));
    QCOMPARE(TControlSubClass::installedOn(edit), first);
    QVERIFY(!look.hookRecords().back()->isInstalled());
    // Another component's walk does not take the control over either.
    TXPLook other(&form);
    other.setActive(true);
    QCOMPARE(TControlSubClass::installedOn(edit), first);
}

void TestXPLook::destroyedControlOrComponentLeavesNothingBehind()
{
    QDialog form;
    auto* edit = make<QLineEdit>(&form, "edit");
    auto* memo = make<QPlainTextEdit>(&form, "memo");
    auto* look = new TXPLook(&form);
    look->setActive(true);
    delete edit;
    QTRY_COMPARE(hookedControls(*look), QStringList {"memo"});
    setCtl3D(memo, false);
    delete look;
    QVERIFY(!TControlSubClass::installedOn(memo));
    // Events after the component went reach no record.
    QTest::mouseClick(memo->viewport(), Qt::LeftButton);
}

void TestXPLook::ownerMustBeAFormFrameOrScrollBox()
{
    QDialog form;
    auto* button = new QPushButton(&form);
    QString message;
    try {
        TXPLook look(button);
    } catch (const FeylumeError& error) {
        message = error.message();
    }
    QCOMPARE(message, QStringLiteral("Invalid class typecast"));

    TFrame frame;
    TXPLook onFrame(&frame);
    QCOMPARE(onFrame.OwnerForm(), &frame);
    // Without an owner there is nothing to walk.
    TXPLook alone(nullptr);
    alone.setActive(true);
    QVERIFY(alone.hookRecords().empty());
}

void TestXPLook::autoDetectHooksLaterControls()
{
    QDialog form;
    make<QLineEdit>(&form, "early");
    TXPLook look(&form);
    look.setActive(true);
    make<QLineEdit>(&form, "late");
    letPendingEventsRun();
    QCOMPARE(hookedControls(look), QStringList {"early"});

    look.setAutoDetect(true);
    make<QLineEdit>(&form, "later");
    QTRY_COMPARE(hookedControls(look), sorted({"early", "late", "later"}));
}

void TestXPLook::publishedDefaultsAndStoredValues_data()
{
    QTest::addColumn<QString>("property");
    QTest::addColumn<QVariant>("byDefault");
    QTest::addColumn<QVariant>("stored");
    const auto row = [](const char* name, const QVariant& byDefault, const QVariant& stored) {
        QTest::newRow(name) << QString::fromLatin1(name) << byDefault << stored;
    };
    row("DimLevel", 30, 30);
    row("GrayLevel", 10, 10);
    row("Color", clBtnFace, clBtnFace);
    row("IconBackColor", clBtnFace, clBtnFace);
    row("MenuBarColor", clBtnFace, clBtnFace);
    row("SelectColor", clHighlight, clHighlight);
    row("SelectBorderColor", clHighlight, clHighlight);
    row("SelectFontColor", clMenuText, clMenuText);
    row("DisabledColor", clInactiveCaption, clInactiveCaption);
    row("SeparatorColor", clBtnFace, clBtnFace);
    row("CheckedColor", clHighlight, clHighlight);
    row("IconWidth", 24, 24);
    row("DrawSelect", true, true);
    row("UseSystemColors", true, true);
    row("OverrideOwnerDraw", false, false);
    row("Gradient", false, false);
    row("FlatMenu", false, false);
    row("AutoDetect", false, false);
    row("XPContainers", kAllXPContainers, kAllXPContainers);
    row("XPControls", kAllXPControls, kAllXPControls);
    row("Active", false, true);
    row("ControlUseTrueXPStyle", true, true);
    row("BtnRoundArc", 5, 5);
    row("BtnOutLineBorderColor", 0x733C00u, 0x733C00u);
    row("BtnInnerBorderMoveColor", 0x31B2FFu, 0x31B2FFu);
    row("BtnInnerBorderFocusColor", 0xE7AE8Cu, 0xE7AE8Cu);
    row("BtnSurfaceNormalColor", 0xF7FBFFu, 0xF7FBFFu);
    row("BtnSurfaceDownColor", 0xDEE7E7u, 0xDEE7E7u);
    row("BtnSurfaceBottomLineColor", 0xDEE7E7u, 0xDEE7E7u);
    row("BtnSurfaceDownBottomLineColor", 0xE7EBEFu, 0xE7EBEFu);
    row("RdoChkControlChkColor", 0x00A200u, 0x00A200u);
    row("ComboBoxChkColor", 0x8C694Au, 0x8C694Au);
    row("ComboboxSurfaceMoveColor", 0xFFE7D6u, 0xFFE7D6u);
    row("ControlDisabledBorderColor", 0xB5C7C6u, 0xB5C7C6u);
}

void TestXPLook::publishedDefaultsAndStoredValues()
{
    QFETCH(QString, property);
    QFETCH(QVariant, byDefault);
    QFETCH(QVariant, stored);
    QDialog form;
    TXPLook look(&form);
    const QByteArray name = property.toLatin1();
    QCOMPARE(look.property(name.constData()).toString(), byDefault.toString());
    applyStoredLookSettings(look);
    QCOMPARE(look.property(name.constData()).toString(), stored.toString());
}

void TestXPLook::trueXPStyleResetsItsColours()
{
    TXPLook look(nullptr);
    QCOMPARE(look.ComboDroppedColor, RGB(140, 162, 247));
    look.setBtnOutLineBorderColor(RGB(1, 2, 3));
    look.setProperty("RdoChkControlChkColor", RGB(4, 5, 6));
    look.ComboDroppedColor = RGB(7, 8, 9);
    look.setControlUseTrueXPStyle(false);
    QCOMPARE(look.BtnOutLineBorderColor(), RGB(1, 2, 3));
    look.setControlUseTrueXPStyle(true);
    QCOMPARE(look.BtnOutLineBorderColor(), TColor(0x733C00));
    QCOMPARE(look.RdoChkControlChkColor(), TColor(0x00A200));
    QCOMPARE(look.ComboDroppedColor, TColor(0xF7A28C));

    // The classic tag opts one control out of the true-XP style.
    QLineEdit classic;
    setTag(&classic, kTagClassicLook);
    QLineEdit plain;
    QVERIFY(look.UsesTrueXPStyle(&plain));
    QVERIFY(!look.UsesTrueXPStyle(&classic));
    look.setControlUseTrueXPStyle(false);
    QVERIFY(!look.UsesTrueXPStyle(&plain));
}

void TestXPLook::paletteFromApplicationPalette()
{
    TXPLook look(nullptr);
    TXPFont tahoma;
    tahoma.font = QFont(QStringLiteral("Tahoma"), 20);
    look.setFont(tahoma);
    QImage trueColour(4, 4, QImage::Format_RGB32);
    look.RefreshPalette(&trueColour);
    QVERIFY(look.HighColour);
    QCOMPARE(look.Palette.MenuFace, RGB(249, 248, 247));
    QCOMPARE(look.Palette.SelectFace, RGB(177, 185, 207));
    QCOMPARE(look.Palette.ShadowOuter, RGB(122, 120, 110));
    QCOMPARE(look.Palette.SelectBorder, clHighlight);
    // With system colours the font is the platform's menu font again at every refresh.
    QCOMPARE(look.Font().font, QApplication::font("QMenu"));
    QCOMPARE(look.Font().Color, clMenuText);

    QImage palettized(4, 4, QImage::Format_Indexed8);
    look.RefreshPalette(&palettized);
    QVERIFY(!look.HighColour);
    QCOMPARE(look.Palette.MenuFace, clWhite);
    QCOMPARE(look.Palette.SelectFace, clWhite);

    // A palette change shows at the next refresh, with no notice.
    QPalette palette = QApplication::palette();
    palette.setColor(QPalette::Button, QColor(0, 0, 0));
    QApplication::setPalette(palette);
    look.RefreshPalette(&trueColour);
    QCOMPARE(look.Palette.IconFace, RGB(41, 41, 41));
    pinPalette();
    QCOMPARE(look.Darken(&trueColour, clBtnFace, 60), RGB(152, 150, 140));
    QCOMPARE(look.Lighten(&palettized, RGB(0, 0, 0), 30), RGB(128, 128, 128));
    QCOMPARE(look.ContrastText(&trueColour, RGB(100, 100, 100)), RGB(240, 240, 240));
}

void TestXPLook::bitmapFilters()
{
    TXPLook look(nullptr);
    QImage glyph(3, 2, QImage::Format_ARGB32);
    const QRgb pixels[] = {qRgb(0, 0, 0), qRgb(0, 0, 0), qRgb(255, 255, 255), qRgba(30, 60, 90, 0),
        qRgb(255, 255, 255), qRgb(0, 0, 0)};
    for (int i = 0; i < 6; ++i)
        glyph.setPixel(i % 3, i / 3, pixels[i]);

    QImage gray = glyph;
    look.GrayBitmap(gray, 10);
    QImage dim = glyph;
    look.DimBitmap(dim, 150);
    for (int i = 0; i < 6; ++i) {
        const QRgb in = pixels[i];
        const TColor g = look.GrayTone(RGB(qRed(in), qGreen(in), qBlue(in)), 10);
        const TColor d = look.Lighten(&dim, RGB(qRed(in), qGreen(in), qBlue(in)), 100);
        QCOMPARE(gray.pixel(i % 3, i / 3), qRgba(red(g), green(g), blue(g), qAlpha(in)));
        QCOMPARE(dim.pixel(i % 3, i / 3), qRgba(red(d), green(d), blue(d), qAlpha(in)));
    }
    QCOMPARE(gray.pixel(2, 0), qRgb(240, 240, 240));
    QCOMPARE(gray.pixel(0, 1), qRgba(70, 70, 70, 0));
}

namespace {
// A shown window with an active look component over a few controls.
struct LookWindow
{
    QDialog form;
    QLineEdit* edit = make<QLineEdit>(&form, "edit");
    QLineEdit* other = make<QLineEdit>(&form, "other");
    QLineEdit* disabled = make<QLineEdit>(&form, "disabled");
    QCheckBox* check = make<QCheckBox>(&form, "check");
    QPushButton* button = make<QPushButton>(&form, "button");
    TXPLook* look = nullptr;

    LookWindow()
    {
        form.resize(300, 200);
        edit->setGeometry(10, 10, 100, 21);
        other->setGeometry(10, 40, 100, 21);
        disabled->setGeometry(10, 70, 100, 21);
        disabled->setEnabled(false);
        check->setGeometry(150, 10, 100, 21);
        button->setGeometry(150, 40, 75, 25);
        look = new TXPLook(&form);
        look->setActive(true);
        form.show();
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
    }
    static TControlSubClass& record(QWidget* control) { return *TControlSubClass::installedOn(control); }
};
} // namespace

void TestXPLook::focusAndPointerMakeHot()
{
    LookWindow w;
    TControlSubClass& edit = LookWindow::record(w.edit);
    w.other->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(!edit.Hot);
    w.edit->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(edit.Hot);
    QCOMPARE(edit.LastMessage, QEvent::FocusIn);
    w.other->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(!edit.Hot);

    QTest::mouseMove(w.edit, QPoint(5, 5));
    QTRY_VERIFY(edit.Hot);
    QTest::mouseMove(&w.form, QPoint(280, 180));
    QTRY_VERIFY(!edit.Hot);
    QVERIFY(!edit.MouseDown && !edit.SpaceDown && !edit.KeepHook);
}

void TestXPLook::pointerOverDisabledControlChangesNothing()
{
    LookWindow w;
    TControlSubClass& disabled = LookWindow::record(w.disabled);
    QTest::mouseMove(w.disabled, QPoint(5, 5));
    letPendingEventsRun();
    QVERIFY(!disabled.Hot);
    QTest::mouseMove(&w.form, QPoint(280, 180));
    letPendingEventsRun();
    QVERIFY(!disabled.Hot);
}

void TestXPLook::mouseButtonsAndCheckState()
{
    LookWindow w;
    TControlSubClass& check = LookWindow::record(w.check);
    QTest::mouseMove(w.check, QPoint(5, 5));
    QTRY_VERIFY(check.Hot);
    QTest::mousePress(w.check, Qt::LeftButton, {}, QPoint(5, 5));
    QVERIFY(check.MouseDown);
    QTest::mouseRelease(w.check, Qt::LeftButton, {}, QPoint(5, 5));
    QVERIFY(!check.MouseDown);
    // The check state changing clears Hot although the pointer is still over the box.
    QVERIFY(w.check->isChecked());
    QVERIFY(!check.Hot);
    // So does a change by program.
    QTest::mouseMove(w.check, QPoint(6, 6));
    QTest::mouseMove(&w.form, QPoint(280, 180));
    QTest::mouseMove(w.check, QPoint(5, 5));
    QTRY_VERIFY(check.Hot);
    w.check->setChecked(false);
    QVERIFY(!check.Hot);
    // The right button is not the one that presses.
    QTest::mousePress(w.check, Qt::RightButton, {}, QPoint(5, 5));
    QVERIFY(!check.MouseDown);
    QTest::mouseRelease(w.check, Qt::RightButton, {}, QPoint(5, 5));
}

void TestXPLook::spaceHeldRepaintsOnceReleasedOnce()
{
    LookWindow w;
    w.check->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(w.check->hasFocus());
    TControlSubClass& check = LookWindow::record(w.check);
    QTest::keyPress(w.check, Qt::Key_Space);
    QVERIFY(check.SpaceDown);
    QVERIFY(check.SpaceRepeat);
    // Held down, the key repeats as release and press pairs marked as repeats.
    for (int i = 0; i < 3; ++i) {
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "), true);
        QApplication::sendEvent(w.check, &release);
        QKeyEvent again(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "), true);
        QApplication::sendEvent(w.check, &again);
        QVERIFY(check.SpaceDown);
        QVERIFY(check.SpaceRepeat);
    }
    QTest::keyRelease(w.check, Qt::Key_Space);
    QVERIFY(!check.SpaceDown);
    QVERIFY(!check.SpaceRepeat);
    // Other keys leave the space state alone.
    QTest::keyClick(w.check, Qt::Key_A);
    QVERIFY(!check.SpaceDown);
}

void TestXPLook::doubleClickIsAPressOnButtonsOnly()
{
    LookWindow w;
    TControlSubClass& button = LookWindow::record(w.button);
    TControlSubClass& edit = LookWindow::record(w.edit);
    QTest::mouseClick(w.button, Qt::LeftButton);
    QVERIFY(!button.MouseDown);
    QTest::mouseDClick(w.button, Qt::LeftButton);
    // The double click counts as a second press: pressed until the button comes up.
    QVERIFY(button.MouseDown);
    QTest::mouseRelease(w.button, Qt::LeftButton);
    QVERIFY(!button.MouseDown);

    QTest::mouseClick(w.edit, Qt::LeftButton);
    QVERIFY(!edit.MouseDown);
    QTest::mouseDClick(w.edit, Qt::LeftButton);
    QVERIFY(!edit.MouseDown);
}

void TestXPLook::keepHookAcrossStyleChangeUntilPaint()
{
    LookWindow w;
    TControlSubClass& edit = LookWindow::record(w.edit);
    QEvent styleChange(QEvent::StyleChange);
    QApplication::sendEvent(w.edit, &styleChange);
    QVERIFY(edit.KeepHook);
    w.edit->grab();
    QVERIFY(!edit.KeepHook);
    QCOMPARE(edit.LastMessage, QEvent::Paint);
    // A repaint asked for by the component's walk marks the hook as well.
    w.look->HookComponents(&w.form, false, true);
    QVERIFY(edit.KeepHook);
}

void TestXPLook::negativeTagIsNeverPaintedOver()
{
    LookWindow w;
    setTag(w.other, -1);
    TControlSubClass& edit = LookWindow::record(w.edit);
    TControlSubClass& other = LookWindow::record(w.other);
    w.other->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(w.other->hasFocus());
    w.other->grab();
    // The paint dispatch stops before it even looks at the focus.
    QVERIFY(!other.Focused);
    QCOMPARE(other.LastMessage, QEvent::Paint);
    w.edit->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(w.edit->hasFocus());
    w.edit->grab();
    QVERIFY(edit.Focused);
}

namespace {
class PaintCount : public QObject
{
public:
    explicit PaintCount(QWidget* widget) { widget->installEventFilter(this); }
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};
} // namespace

// The frame the look draws round a memo holds none of its text; a line edit's look covers its
// text and is drawn again with it.
void TestXPLook::typingRepaintsAMemosTextButNotItsFrame()
{
    LookWindow w;
    auto* memo = make<QPlainTextEdit>(&w.form, "memo");
    memo->setGeometry(10, 100, 120, 80);
    w.look->HookComponents(&w.form, true, false);
    QVERIFY(TControlSubClass::installedOn(memo));
    memo->show();
    memo->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(memo->hasFocus());
    letPendingEventsRun();
    PaintCount frame(memo);
    PaintCount text(memo->viewport());
    QTest::keyClick(memo, Qt::Key_A);
    QTRY_VERIFY(text.paints > 0);
    letPendingEventsRun();
    QCOMPARE(frame.paints, 0);

    PaintCount edit(w.other);
    w.other->setText(QStringLiteral("x"));
    QTRY_VERIFY(edit.paints > 0);
}

QTEST_MAIN(TestXPLook)
#include "test_xplook.moc"
