#include "platform/project_addresses.h"

QString project_web_address() { return QStringLiteral(QUORVEL_HOMEPAGE); }

QString project_contact_address() { return QStringLiteral(QUORVEL_CONTACT); }

QString project_addons_address() { return project_web_address() + "/addons/"; }
