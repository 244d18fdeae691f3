#include "commandtable.h"

namespace CommandTable {

const std::vector<Entry> kMainMenu = {
    {"N1", "管理功能(&M)", "F3", nullptr, 0, nullptr},
    {"N2", "添加类别(&A)", "Shift+A", nullptr, 1, nullptr},
    {"N3", "删除类别(&D)", "Shift+D", nullptr, 1, nullptr},
    {"N4", "类别改名(&M)", "Shift+M", nullptr, 1, nullptr},
    {nullptr, "-", nullptr, nullptr, 1, nullptr},
    {"N6", "添加脚本", "F5", "DataSetInsert1", 1, nullptr},
    {"N7", "删除脚本", "F6", "DataSetDelete1", 1, nullptr},
    {"N23", "保存脚本", "F7", "DataSetPost1", 1, nullptr},
    {"N36", "放弃修改", "F8", "DataSetCancel1", 1, nullptr},
    {nullptr, "-", nullptr, nullptr, 1, nullptr},
    {"RestoreBackup1", "恢复备份…", nullptr, nullptr, 1, nullptr},
    {nullptr, "-", nullptr, nullptr, 1, nullptr},
    {"N9", "退出系统(&X)", nullptr, nullptr, 1, nullptr},
    {"E1", "脚本处理(&J)", nullptr, nullptr, 0, nullptr},
    {"N10", "导入脚本", "Ctrl+O", "FileOpen1", 1, nullptr},
    {"N11", "网络导入", "Shift+I", "ActIFnet", 1, nullptr},
    {"N12", "导出脚本", nullptr, "FileSaveAs1", 1, nullptr},
    {nullptr, "-", nullptr, nullptr, 1, nullptr},
    {"N14", "快速预览", "F11", nullptr, 1, nullptr},
    {"IE1", "IE预览", "F12", "ActIE", 1, nullptr},
    {"C1", "代码编辑(&E)", nullptr, nullptr, 0, nullptr},
    {"undo1", "&Undo", "Ctrl+Z", "EditUndo1", 1, nullptr},
    {nullptr, "-", nullptr, nullptr, 1, nullptr},
    {"N24", "&Copy", "Ctrl+C", "EditCopy1", 1, nullptr},
    {"N25", "Cu&t", "Ctrl+X", "EditCut1", 1, nullptr},
    {"N26", "&Paste", "Ctrl+V", "EditPaste1", 1, nullptr},
    {nullptr, "-", nullptr, nullptr, 1, nullptr},
    {"N33", "Select &All", "Ctrl+A", "EditSelectAll1", 1, nullptr},
    {"N29", "&Delete", "Del", "EditDelete1", 1, nullptr},
    {nullptr, "-", nullptr, nullptr, 1, nullptr},
    {"N31", "&Find...", "Ctrl+F", "SearchFind1", 1, nullptr},
    {"FindNext1", "Find &Next", "F3", "SearchFindNext1", 1, nullptr},
    {"N32", "&Replace", "Ctrl+H", "SearchReplace1", 1, nullptr},
    {"H1", "帮助(&H)", nullptr, nullptr, 0, nullptr},
    {"N15", "帮助", "F1", nullptr, 1, nullptr},
    {"About1", "&About--", nullptr, "Actabout", 1, nullptr},
};

const std::vector<Entry> kToolBar = {
    {"ToolButton1", "添加类别", nullptr, nullptr, 0, "添加新的脚本分类"},
    {"ToolButton2", "删除类别", nullptr, nullptr, 0, nullptr},
    {"ToolButton3", "类别更名", nullptr, nullptr, 0, nullptr},
    {nullptr, "-", nullptr, nullptr, 0, nullptr},
    {"ToolButton4", "添加脚本", nullptr, "DataSetInsert1", 0, "添加脚本"},
    {"ToolButton6", "删除脚本", nullptr, "DataSetDelete1", 0, "删除脚本"},
    {nullptr, "-", nullptr, nullptr, 0, nullptr},
    {"ToolButton8", "&S保存脚本", nullptr, "DataSetPost1", 0, "保存脚本"},
    {"ToolButton9", "&C放弃修改", nullptr, "DataSetCancel1", 0, "放弃修改"},
    {nullptr, "-", nullptr, nullptr, 0, nullptr},
    {"ToolButton10", "IE预览(F12)", nullptr, "ActIE", 0, "有些效果必须在ie浏览"},
};

const std::vector<Entry> kPopupTree = {
    {"N16", "添加分类(&A)", nullptr, nullptr, 0, nullptr},
    {"N17", "删除分类(&D)", nullptr, nullptr, 0, nullptr},
    {"N18", "分类改名(&M)", nullptr, nullptr, 0, nullptr},
    {nullptr, "-", nullptr, nullptr, 0, nullptr},
    {"N20", "添加脚本", "F5", "DataSetInsert1", 0, nullptr},
    {"N21", "删除脚本", "F6", "DataSetDelete1", 0, nullptr},
    {"N22", "脚本改名(&E)", nullptr, nullptr, 0, nullptr},
};

const std::vector<Entry> kPopupResults = {
    {"N35", "移去(&M)", nullptr, nullptr, 0, "不会删除脚本"},
    {"N40", "清空(&C)", nullptr, nullptr, 0, "清空(&C)"},
};

const std::vector<ActionEntry> kActions = {
    {"DataSetInsert1", "&I添加脚本", "F5"},
    {"DataSetDelete1", "&D删除脚本", "F6"},
    {"DataSetPost1", "&S保存脚本", "F7"},
    {"DataSetCancel1", "&C放弃修改", "F8"},
    {"ActIE", "IE预览", "F12"},
    {"ActIFnet", "网络导入", "Shift+I"},
    {"FileOpen1", "导入脚本", "Ctrl+O"},
    {"FileSaveAs1", "导出脚本", nullptr},
    {"EditCut1", "Cu&t", "Ctrl+X"},
    {"EditCopy1", "&Copy", "Ctrl+C"},
    {"EditPaste1", "&Paste", "Ctrl+V"},
    {"EditSelectAll1", "Select &All", "Ctrl+A"},
    {"EditUndo1", "&Undo", "Ctrl+Z"},
    {"EditDelete1", "&Delete", "Del"},
    {"SearchFind1", "&Find...", "Ctrl+F"},
    {"SearchFindNext1", "Find &Next", "F3"},
    {"SearchReplace1", "&Replace", "Ctrl+H"},
    {"Actabout", "&About--", nullptr},
};

} // namespace CommandTable
