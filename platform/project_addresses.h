#pragma once

#include <QString>
#include <QStringList>

// The project's own addresses, set when the game is built (the QUORVEL_... cache variables of
// CMake). For a run, environment variables of the same names point the game elsewhere, such as
// at a highscore site on this machine: QUORVEL_SITE for the web site, QUORVEL_MAIL_HOST,
// QUORVEL_MAIL_PORT, QUORVEL_MAIL_SIGNON and QUORVEL_COLLECTORS (two addresses, comma between).
QString project_web_address();
QString project_contact_address();
// The page of the web site that offers add-on styles.
QString project_addons_address();
// The web site's page with the internet highscore table of a mode.
QString highscore_page_address(bool regular_mode);

// Where highscore mails go.
struct HighscoreMail {
    QString host;
    QString port;  // a number or a service name
    QString sign_on;
    QStringList collectors;  // the two mailboxes that collect the mails, in this order
};
HighscoreMail highscore_mail();
