#ifndef ZYM_NOTIFICATION_H
#define ZYM_NOTIFICATION_H

// Signal-and-wait interface.
class Notification
{
public:
    virtual ~Notification() {}

    virtual void Signal() = 0;
    // nTimeout in milliseconds, negative without limit; 0 when signalled,
    // 1 when the time ran out.
    virtual int Wait(int nTimeout) = 0;
    virtual void Reset() = 0;
};

#endif
