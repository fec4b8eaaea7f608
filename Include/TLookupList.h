#ifndef ZYM_TLOOKUPLIST_H
#define ZYM_TLOOKUPLIST_H

#include "LookupPair.h"
#include "TList.h"

// A TList of key/value pairs whose keys are unique.
template <class K, class V>
class TLookupList : public TList<LookupPair<K, V> >
{
    typedef TList<LookupPair<K, V> > Base;

public:
    TLookupList() {}
    virtual ~TLookupList() {}

    void insert(const K& key, const V& value)
    {
        for (typename Base::Iterator it(*this); it.hasCurrent(); it.Step())
        {
            if (it.iterator().m_Key == key)
                throw SKException("insert: key already exists in list");
        }
        Base::append(LookupPair<K, V>(key, value));
    }

    // The value may be changed in place through the reference.
    V& lookup(const K& key)
    {
        for (typename Base::Iterator it(*this); it.hasCurrent(); it.Step())
        {
            if (it.iterator().m_Key == key)
                return it.iterator().m_Value;
        }
        throw SKException("lookup: key/value LookupPair not found");
    }

    const V& lookup(const K& key) const
    {
        for (typename Base::ConstIterator it(*this); it.hasCurrent(); it.Step())
        {
            if (it.iterator().m_Key == key)
                return it.iterator().m_Value;
        }
        throw SKException("lookup: key/value LookupPair not found");
    }

    bool hasKey(const K& key) const
    {
        for (typename Base::ConstIterator it(*this); it.hasCurrent(); it.Step())
        {
            if (it.iterator().m_Key == key)
                return true;
        }
        return false;
    }

    void remove(const K& key) { Base::remove(LookupPair<K, V>(key, V())); }
};

#endif
