#include "app/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>

namespace vexa {

std::unique_ptr<QTranslator> installQtTranslations() {
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    auto translator = std::make_unique<QTranslator>();
    // "qt_de" gathers the modules' catalogues; a system with only the base module has qtbase_de.
    for (const char* name : {"qt_de", "qtbase_de"}) {
        if (translator->load(QString::fromLatin1(name), folder) && QCoreApplication::installTranslator(translator.get()))
            return translator;
    }
    return nullptr;
}

}  // namespace vexa
