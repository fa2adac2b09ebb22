#pragma once

class QCoreApplication;
class QTranslator;

// Qt's own Chinese texts (standard buttons 确定/取消, the file dialog's 打开/查找范围…), from
// Debian's qt6-translations-l10n. Returns false, leaving the English texts, when they are not
// installed; the program works either way.
bool installQtTranslations(QCoreApplication& app, QTranslator& translator);
