#include "TLookupList.h"
#include "ZymString.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
typedef TLookupList<ZymString, ZymString> NameMap;

std::string Failure(NameMap& map, void (*op)(NameMap&))
{
    try
    {
        op(map);
    }
    catch (const SKException& e)
    {
        return e.GetMessage();
    }
    return "no exception";
}

int CountPairs(const NameMap& map)
{
    int n = 0;
    for (NameMap::ConstIterator it(map); it.hasCurrent() && n < 100; it.Step())
        ++n;
    return n;
}
}

TEST(TLookupList, InsertOfAPresentKeyFailsAndChangesNothing)
{
    NameMap map;
    map.insert(ZymString("#lobby"), ZymString("#lobby42"));
    EXPECT_EQ("insert: key already exists in list",
              Failure(map, [](NameMap& m) { m.insert(ZymString("#lobby"), ZymString("other")); }));
    EXPECT_EQ(1, CountPairs(map));
    EXPECT_STREQ("#lobby42", map.lookup(ZymString("#lobby")).Text());
}

TEST(TLookupList, LookupOfAnAbsentKeyFails)
{
    NameMap map;
    EXPECT_EQ("lookup: key/value LookupPair not found",
              Failure(map, [](NameMap& m) { m.lookup(ZymString("x")); }));
    map.insert(ZymString("a"), ZymString("1"));
    EXPECT_EQ("lookup: key/value LookupPair not found",
              Failure(map, [](NameMap& m) { m.lookup(ZymString("b")); }));
    const NameMap& constant = map;
    EXPECT_THROW(constant.lookup(ZymString("b")), SKException);
}

TEST(TLookupList, LookupGivesTheValueToChangeInPlace)
{
    NameMap map;
    map.insert(ZymString("a"), ZymString("1"));
    map.insert(ZymString("b"), ZymString("2"));
    map.lookup(ZymString("b")) = ZymString("two");
    EXPECT_STREQ("two", map.lookup(ZymString("b")).Text());
    EXPECT_STREQ("1", map.lookup(ZymString("a")).Text());
}

TEST(TLookupList, KeysAreCaseSensitive)
{
    NameMap map;
    map.insert(ZymString("#Lobby"), ZymString("upper"));
    map.insert(ZymString("#lobby"), ZymString("lower"));
    EXPECT_EQ(2, CountPairs(map));
    EXPECT_STREQ("upper", map.lookup(ZymString("#Lobby")).Text());
    EXPECT_STREQ("lower", map.lookup(ZymString("#lobby")).Text());
    EXPECT_FALSE(map.hasKey(ZymString("#LOBBY")));
}

TEST(TLookupList, RemoveByKeyIgnoresTheValue)
{
    NameMap map;
    map.insert(ZymString("a"), ZymString("1"));
    map.insert(ZymString("b"), ZymString("2"));
    EXPECT_TRUE(map.hasKey(ZymString("a")));
    map.remove(ZymString("a"));
    EXPECT_FALSE(map.hasKey(ZymString("a")));
    EXPECT_TRUE(map.hasKey(ZymString("b")));
    EXPECT_EQ("TList::remove(): value does not exist",
              Failure(map, [](NameMap& m) { m.remove(ZymString("a")); }));
    map.insert(ZymString("a"), ZymString("again"));
    EXPECT_STREQ("again", map.lookup(ZymString("a")).Text());
}

TEST(TLookupList, PointerValuesAreNotOwned)
{
    int record = 7;
    {
        TLookupList<ZymString, int*> table;
        table.insert(ZymString("#c"), &record);
        EXPECT_EQ(&record, table.lookup(ZymString("#c")));
        *table.lookup(ZymString("#c")) = 8;
        table.remove(ZymString("#c"));
        EXPECT_FALSE(table.hasKey(ZymString("#c")));
    }
    EXPECT_EQ(8, record);
}
