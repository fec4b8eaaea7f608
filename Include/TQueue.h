#ifndef ZYM_TQUEUE_H
#define ZYM_TQUEUE_H

#include "TList.h"
#include "ThreadLock.h"

// A list with a lock so that one thread may push while another pops.
template <class T>
class TQueue : public TList<T>
{
    typedef TList<T> Base;

public:
    TQueue() {}
    virtual ~TQueue() {}

    void push(const T& element)
    {
        Holder hold(m_Lock);
        Base::append(element);
    }

    // Takes the oldest element.
    T pop()
    {
        Holder hold(m_Lock);
        TListNode<T>* pHead = Base::m_pHead;
        if (pHead == nullptr)
        {
            hold.Release();
            throw SKException("pop(): the list is empty.  Nothing to pop.");
        }
        T element(pHead->m_Element);
        Base::unlink(pHead);
        hold.Release();
        return element;
    }

private:
    // Releases the lock exactly once, also when copying an element throws;
    // a second Unlock could leave a section that another thread now holds.
    class Holder
    {
    public:
        explicit Holder(ThreadLock& lock) : m_rLock(lock), m_bHeld(true) { m_rLock.Lock(); }
        ~Holder() { Release(); }

        void Release()
        {
            if (m_bHeld)
            {
                m_bHeld = false;
                m_rLock.Unlock();
            }
        }

    private:
        Holder(const Holder&) = delete;
        Holder& operator=(const Holder&) = delete;

        ThreadLock& m_rLock;
        bool m_bHeld;
    };

    ThreadLock m_Lock;
};

#endif
