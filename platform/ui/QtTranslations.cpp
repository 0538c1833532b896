#include "platform/ui/QtTranslations.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>
#include <algorithm>

namespace quill::ui {

namespace {

// "pt-PT", "pt_PT.UTF-8" -> {"pt", "PT"}
std::pair<QString, QString> languageAndRegion(std::string_view tag) {
  QString text = QString::fromUtf8(tag.data(), static_cast<int>(tag.size())).trimmed();
  text = text.left(text.indexOf('.') < 0 ? text.size() : text.indexOf('.')).replace('_', '-');
  const QStringList parts = text.split('-', Qt::SkipEmptyParts);
  if (parts.isEmpty()) return {};
  return {parts[0].toLower(), parts.size() > 1 ? parts[1].toUpper() : QString()};
}

}  // namespace

std::vector<std::string> installQtTranslations(std::string_view languageTag, std::filesystem::path folder) {
  const auto [language, region] = languageAndRegion(languageTag);
  if (language.isEmpty() || language == "en" || !QCoreApplication::instance()) return {};
  const QDir dir(folder.empty() ? QLibraryInfo::path(QLibraryInfo::TranslationsPath)
                                : QString::fromStdString(folder.string()));

  const QStringList catalogues = {QStringLiteral("qtbase"), QStringLiteral("qt")};
  QStringList wanted;  // most preferred first
  for (const QString& catalogue : catalogues) {
    if (!region.isEmpty()) wanted << catalogue + "_" + language + "_" + region;
    wanted << catalogue + "_" + language;
  }
  for (const QString& catalogue : catalogues) {
    const QStringList others = dir.entryList({catalogue + "_" + language + "_*.qm"}, QDir::Files, QDir::Name);
    for (const QString& file : others) {
      const QString name = file.chopped(3);
      if (!wanted.contains(name)) wanted << name;
    }
  }

  std::vector<std::string> installed;
  std::vector<QTranslator*> loaded;
  for (const QString& name : wanted) {
    if (!dir.exists(name + ".qm")) continue;
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(name, dir.path()) || translator->isEmpty()) {
      delete translator;
      continue;
    }
    loaded.push_back(translator);
    installed.push_back(name.toStdString());
  }
  // Qt asks the translator installed last first.
  std::for_each(loaded.rbegin(), loaded.rend(), [](QTranslator* t) { QCoreApplication::installTranslator(t); });
  return installed;
}

}  // namespace quill::ui
