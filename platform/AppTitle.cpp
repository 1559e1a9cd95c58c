#include "platform/AppTitle.h"

#include <QCoreApplication>

QString applicationTitleFrom(const QString& programPath) {
    const qsizetype slash = std::max(programPath.lastIndexOf(QLatin1Char('/')),
                                     programPath.lastIndexOf(QLatin1Char('\\')));
    QString name = programPath.mid(slash + 1);
    const qsizetype period = name.indexOf(QLatin1Char('.'));
    if (period >= 0)
        name.truncate(period);
    if (name.size() > 1)
        name = name.left(1) + name.mid(1).toLower();
    return name;
}

QString applicationTitle() {
    return applicationTitleFrom(QCoreApplication::applicationFilePath());
}
