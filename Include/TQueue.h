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
        m_Lock.Lock();
        try
        {
            Base::append(element);
        }
        catch (...)
        {
            m_Lock.Unlock();
            throw;
        }
        m_Lock.Unlock();
    }

    // Takes the oldest element.
    T pop()
    {
        m_Lock.Lock();
        TListNode<T>* pHead = Base::m_pHead;
        if (pHead == nullptr)
        {
            m_Lock.Unlock();
            throw SKException("pop(): the list is empty.  Nothing to pop.");
        }
        try
        {
            T element(pHead->m_Element);
            Base::unlink(pHead);
            m_Lock.Unlock();
            return element;
        }
        catch (...)
        {
            m_Lock.Unlock();
            throw;
        }
    }

private:
    ThreadLock m_Lock;
};

#endif
