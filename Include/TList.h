#ifndef ZYM_TLIST_H
#define ZYM_TLIST_H

#include "SKException.h"

template <class T>
class TListNode
{
public:
    explicit TListNode(const T& element)
        : m_Element(element), m_pNext(nullptr), m_pPrev(nullptr)
    {
    }

    T m_Element;
    TListNode* m_pNext;
    TListNode* m_pPrev;
};

// Doubly linked list that owns a copy of each element, oldest at the head,
// with one built-in cursor. Not safe for concurrent use.
template <class T>
class TList
{
public:
    // Walks a list without touching its cursor.
    class Iterator
    {
    public:
        explicit Iterator(TList& list) : m_pList(&list), m_pPosition(list.m_pHead) {}
        virtual ~Iterator() {}

        bool hasCurrent() const { return m_pPosition != nullptr; }

        T& iterator()
        {
            if (m_pPosition == nullptr)
                throw SKException("TList::Iterator::iterator(): the interator is null.");
            return m_pPosition->m_Element;
        }

        void Step()
        {
            if (m_pPosition == nullptr)
                throw SKException("TList::Iterator::Step(): No more entries.  Unable to step.");
            m_pPosition = m_pPosition->m_pNext;
        }

    private:
        TList* m_pList;
        TListNode<T>* m_pPosition;
    };

    class ConstIterator
    {
    public:
        explicit ConstIterator(const TList& list) : m_pList(&list), m_pPosition(list.m_pHead) {}
        virtual ~ConstIterator() {}

        bool hasCurrent() const { return m_pPosition != nullptr; }

        const T& iterator() const
        {
            if (m_pPosition == nullptr)
                throw SKException("TList::ConstIterator::iterator(): the interator is null.");
            return m_pPosition->m_Element;
        }

        void Step()
        {
            if (m_pPosition == nullptr)
                throw SKException("TList::ConstIterator::Step(): No more entries.  Unable to step.");
            m_pPosition = m_pPosition->m_pNext;
        }

    private:
        const TList* m_pList;
        const TListNode<T>* m_pPosition;
    };

    TList() : m_pHead(nullptr), m_pTail(nullptr), m_pCurrent(nullptr), m_nEntries(0) {}

    virtual ~TList()
    {
        TListNode<T>* pNode = m_pHead;
        while (pNode != nullptr)
        {
            TListNode<T>* pNext = pNode->m_pNext;
            delete pNode;
            pNode = pNext;
        }
        m_pHead = nullptr;
        m_pTail = nullptr;
        m_pCurrent = nullptr;
    }

    void append(const T& element)
    {
        TListNode<T>* pNode = new TListNode<T>(element);
        if (m_pHead == nullptr)
        {
            m_pHead = pNode;
        }
        else
        {
            pNode->m_pPrev = m_pTail;
            m_pTail->m_pNext = pNode;
        }
        m_pTail = pNode;
        ++m_nEntries;
    }

    // Removes the match nearest the head.
    void remove(const T& element)
    {
        for (TListNode<T>* pNode = m_pHead; pNode != nullptr; pNode = pNode->m_pNext)
        {
            if (pNode->m_Element == element)
            {
                unlink(pNode);
                return;
            }
        }
        throw SKException("TList::remove(): value does not exist");
    }

    // Drops the element under the cursor; the cursor lands on its successor.
    void removeCurrent()
    {
        if (m_pCurrent == nullptr)
            throw SKException("TList::remove(): value does not exist");
        TListNode<T>* pNode = m_pCurrent;
        m_pCurrent = pNode->m_pNext;
        unlink(pNode);
    }

    void rewind() { m_pCurrent = m_pHead; }

    bool hasCurrent() const { return m_pCurrent != nullptr; }

    T& iterator()
    {
        if (m_pCurrent == nullptr)
            throw SKException("TList::iterator(): the interator is null.");
        return m_pCurrent->m_Element;
    }

    void Step()
    {
        if (m_pCurrent == nullptr)
            throw SKException("TList::Step(): No more entries.  Unable to step.");
        m_pCurrent = m_pCurrent->m_pNext;
    }

protected:
    // Links the neighbours of pNode to each other and frees it. The cursor is
    // cleared when it stood on the node, so it never points at freed memory;
    // a live Iterator or ConstIterator on that node is not reachable from
    // here, so callers do not remove by value while walking with one.
    void unlink(TListNode<T>* pNode)
    {
        if (pNode->m_pPrev != nullptr)
            pNode->m_pPrev->m_pNext = pNode->m_pNext;
        else
            m_pHead = pNode->m_pNext;
        if (pNode->m_pNext != nullptr)
            pNode->m_pNext->m_pPrev = pNode->m_pPrev;
        else
            m_pTail = pNode->m_pPrev;
        if (m_pCurrent == pNode)
            m_pCurrent = nullptr;
        delete pNode;
        --m_nEntries;
    }

    TListNode<T>* m_pHead;
    TListNode<T>* m_pTail;
    TListNode<T>* m_pCurrent;
    int m_nEntries;

private:
    TList(const TList&) = delete;
    TList& operator=(const TList&) = delete;
};

#endif
