#ifndef ZYM_LOOKUPPAIR_H
#define ZYM_LOOKUPPAIR_H

// Key/value element of a TLookupList; pairs compare by key alone.
template <class K, class V>
class LookupPair
{
public:
    LookupPair(const K& key, const V& value) : m_Key(key), m_Value(value) {}

    bool operator==(const LookupPair& other) const { return (m_Key == other.m_Key) != 0; }

    K m_Key;
    V m_Value;
};

#endif
