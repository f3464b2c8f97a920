#pragma once

#include <QString>

// The project's own addresses, set when the game is built (QUORVEL_HOMEPAGE, QUORVEL_CONTACT).
QString project_web_address();
QString project_contact_address();
// The page of the web site that offers add-on styles.
QString project_addons_address();
