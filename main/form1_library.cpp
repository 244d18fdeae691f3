// The library store as the window uses it: opening the library, the statement runner and the
// current-script query.

#include "base/feylumeerror.h"
#include "form1.h"
#include "store/query.h"
#include "store/statements.h"
#include "widgets/messageboxes.h"
#include "widgets/progressbar.h"
#include "widgets/statusbar.h"

#include <QDir>

void TForm1::OpenLibrary()
{
    ADOConnection1.setDatabasePath(Places.libraryPath);
    try {
        if (Places.provideLibrary())
            tellInStatusBar(QStringLiteral("首次启动：已从示例库建立脚本库 %1")
                                .arg(QDir::toNativeSeparators(Places.libraryPath)));
        ADOConnection1.open();
    } catch (const FeylumeError&) {
        MessageBoxes::plain(QStringLiteral("错误"), QStringLiteral("无法打开数据库"),
            QDir::toNativeSeparators(Places.libraryPath));
        return;
    }
    // Without write permission every change would be refused later, one command at a time;
    // say so once, up front. The editing commands stay greyed.
    if (ADOConnection1.database().isReadOnly())
        MessageBoxes::information(QStringLiteral("数据库文件是只读的，只能浏览脚本，不能保存修改"));
}

void TForm1::RunStatement(const QString& text, bool open)
{
    RunStatement(BoundStatement {text, {}}, open);
}

void TForm1::RunStatement(const BoundStatement& statement, bool open)
{
    ADOQuery1->close();
    ADOQuery1->setStatement(statement);
    if (open)
        ADOQuery1->open();
    else
        ADOQuery1->execSql();
    pgb->tickAlong(ADOQuery1->fieldCount());
}

void TForm1::OpenScript(const StoredName& name)
{
    ADOQuery2->close();
    ADOQuery2->setParameter(QStringLiteral("JsName"), name.bytes());
    ADOQuery2->open();
    CurrentScriptStoredName = name;
    CurrentScriptName = name.text();
    setPanelText(ScriptPanel, openScriptName());
}

QString TForm1::openScriptName() const
{
    // A name that found no row, or whose row was deleted, names nothing the editors show.
    return ADOQuery2->isActive() && !ADOQuery2->isEmpty() ? CurrentScriptName : QString();
}
