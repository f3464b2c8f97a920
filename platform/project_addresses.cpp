#include "platform/project_addresses.h"

#include <QtGlobal>

namespace {

QString setting(const char* variable, const char* built_in) {
    const QString value = qEnvironmentVariable(variable);
    return value.isEmpty() ? QString::fromUtf8(built_in) : value;
}

// The addresses of a comma-separated list, without the blanks around them.
QStringList address_list(const QString& list) {
    QStringList addresses;
    for (const QString& entry : list.split(','))
        if (const QString address = entry.trimmed(); !address.isEmpty()) addresses << address;
    return addresses;
}

}  // namespace

QString project_web_address() {
    QString address = setting("QUORVEL_SITE", QUORVEL_HOMEPAGE);
    while (address.endsWith('/')) address.chop(1);
    return address;
}

QString project_contact_address() { return QStringLiteral(QUORVEL_CONTACT); }

QString project_addons_address() { return project_web_address() + "/addons/"; }

QString highscore_page_address(bool regular_mode) {
    return project_web_address() + (regular_mode ? "/regular_hsc.html" : "/difficult_hsc.html");
}

HighscoreMail highscore_mail() {
    return {setting("QUORVEL_MAIL_HOST", QUORVEL_MAIL_HOST), setting("QUORVEL_MAIL_PORT", "smtp"),
            setting("QUORVEL_MAIL_SIGNON", QUORVEL_MAIL_SIGNON),
            address_list(setting("QUORVEL_COLLECTORS", QUORVEL_COLLECTORS))};
}
