#include "platform/document_open.h"

#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>

namespace platform {

int OpenDocument(const std::string& path) {
  const QString file = QString::fromStdString(path);
  if (!QFileInfo(file).isFile()) return kOpenFileNotFound;
  const QString mime = QMimeDatabase().mimeTypeForFile(file).name();
  QProcess query;
  query.start(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"), mime});
  if (!query.waitForFinished(5000) || query.exitStatus() != QProcess::NormalExit || query.exitCode() != 0 ||
      query.readAllStandardOutput().trimmed().isEmpty())
    return kOpenNoAssociation;
  return QProcess::startDetached(QStringLiteral("xdg-open"), {file}) ? kOpenSucceeded : 0;
}

}  // namespace platform
