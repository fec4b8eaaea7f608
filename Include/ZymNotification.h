#ifndef ZYM_ZYMNOTIFICATION_H
#define ZYM_ZYMNOTIFICATION_H

#include "Notification.h"
#include "PollingNotification.h"

#endif
