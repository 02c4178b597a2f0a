// Qt's own texts (standard buttons, file dialogs, context menus) in German, like the rest of
// the program: Debian's qt6-translations-l10n in Qt's translations folder.
#pragma once

#include <QTranslator>

#include <memory>

namespace vexa {

// Installs the German Qt translation for the application; it stays installed while the result
// lives. Null when the files are missing: Qt then speaks English and the program carries on.
std::unique_ptr<QTranslator> installQtTranslations();

}  // namespace vexa
