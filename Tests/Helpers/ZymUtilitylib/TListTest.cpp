#include "TList.h"
#include "ZymString.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
// Texts of the list from head to tail, walked without the cursor.
std::string Contents(const TList<ZymString>& list)
{
    std::string out;
    for (TList<ZymString>::ConstIterator it(list); it.hasCurrent(); it.Step())
        out += std::string(it.iterator().Text()) + ",";
    return out;
}

void Fill(TList<ZymString>& list, const char* const* texts, int count)
{
    for (int i = 0; i < count; ++i)
        list.append(ZymString(texts[i]));
}

template <class F>
std::string MessageOf(F f)
{
    try
    {
        f();
    }
    catch (const SKException& e)
    {
        EXPECT_EQ(0, e.GetCode());
        return e.GetMessage();
    }
    return "no exception";
}

// Counts live copies, so the tests see the list copy and destroy elements.
struct Counted
{
    static int s_nLive;
    int m_nValue;
    explicit Counted(int n) : m_nValue(n) { ++s_nLive; }
    Counted(const Counted& other) : m_nValue(other.m_nValue) { ++s_nLive; }
    ~Counted() { --s_nLive; }
    bool operator==(const Counted& other) const { return m_nValue == other.m_nValue; }
};
int Counted::s_nLive = 0;
}

TEST(TList, EmptyListHasNoCurrentElement)
{
    TList<ZymString> list;
    list.rewind();
    EXPECT_FALSE(list.hasCurrent());
    EXPECT_EQ("TList::iterator(): the interator is null.", MessageOf([&] { list.iterator(); }));
    EXPECT_EQ("TList::Step(): No more entries.  Unable to step.", MessageOf([&] { list.Step(); }));
    EXPECT_EQ("TList::remove(): value does not exist", MessageOf([&] { list.removeCurrent(); }));
    EXPECT_EQ("TList::remove(): value does not exist", MessageOf([&] { list.remove(ZymString("x")); }));
}

TEST(TList, CursorStepsPastTheTailOnce)
{
    TList<ZymString> list;
    const char* texts[] = {"a", "b"};
    Fill(list, texts, 2);
    list.rewind();
    EXPECT_STREQ("a", list.iterator().Text());
    list.Step();
    EXPECT_STREQ("b", list.iterator().Text());
    list.Step();
    EXPECT_FALSE(list.hasCurrent());
    EXPECT_EQ("TList::Step(): No more entries.  Unable to step.", MessageOf([&] { list.Step(); }));
}

TEST(TList, AppendDoesNotMoveTheCursor)
{
    TList<ZymString> list;
    list.append(ZymString("a"));
    list.rewind();
    list.append(ZymString("b"));
    EXPECT_STREQ("a", list.iterator().Text());
}

TEST(TList, WalkWithRemoveCurrentDropsTheChosenElements)
{
    TList<ZymString> list;
    const char* texts[] = {"keep1", "drop1", "drop2", "keep2", "drop3"};
    Fill(list, texts, 5);
    int visited = 0;
    for (list.rewind(); list.hasCurrent() && visited < 10; ++visited)
    {
        if (list.iterator().Text()[0] == 'd')
            list.removeCurrent();
        else
            list.Step();
    }
    EXPECT_EQ(5, visited);
    EXPECT_EQ("keep1,keep2,", Contents(list));

    // The tail moved back to keep2: a new element must follow it.
    list.append(ZymString("new"));
    EXPECT_EQ("keep1,keep2,new,", Contents(list));
}

TEST(TList, RemoveCurrentOnTheTailAndOnTheOnlyElement)
{
    TList<ZymString> list;
    const char* texts[] = {"a", "b"};
    Fill(list, texts, 2);
    list.rewind();
    list.Step();
    list.removeCurrent();
    EXPECT_FALSE(list.hasCurrent());
    list.append(ZymString("c"));
    EXPECT_EQ("a,c,", Contents(list));

    TList<ZymString> single;
    single.append(ZymString("only"));
    single.rewind();
    single.removeCurrent();
    EXPECT_FALSE(single.hasCurrent());
    single.rewind();
    EXPECT_FALSE(single.hasCurrent());
    EXPECT_EQ("", Contents(single));
    single.append(ZymString("again"));
    EXPECT_EQ("again,", Contents(single));
}

TEST(TList, RemoveTakesTheMatchNearestTheHead)
{
    TList<ZymString> list;
    const char* texts[] = {"a", "b", "a", "c"};
    Fill(list, texts, 4);
    list.remove(ZymString("a"));
    EXPECT_EQ("b,a,c,", Contents(list));
    list.remove(ZymString("c"));
    EXPECT_EQ("b,a,", Contents(list));
    EXPECT_EQ("TList::remove(): value does not exist", MessageOf([&] { list.remove(ZymString("c")); }));
    EXPECT_EQ("b,a,", Contents(list));
}

TEST(TList, RemovingTheCursorElementClearsTheCursor)
{
    TList<ZymString> list;
    const char* texts[] = {"a", "b"};
    Fill(list, texts, 2);
    list.rewind();
    list.remove(ZymString("a"));
    EXPECT_FALSE(list.hasCurrent());
    EXPECT_EQ("b,", Contents(list));
}

TEST(TList, IteratorsWalkWithoutTheCursor)
{
    TList<ZymString> list;
    const char* texts[] = {"a", "b"};
    Fill(list, texts, 2);
    list.rewind();
    TList<ZymString>::Iterator it(list);
    it.iterator() += ZymString("!");
    it.Step();
    it.Step();
    EXPECT_FALSE(it.hasCurrent());
    EXPECT_EQ("TList::Iterator::iterator(): the interator is null.", MessageOf([&] { it.iterator(); }));
    EXPECT_EQ("TList::Iterator::Step(): No more entries.  Unable to step.", MessageOf([&] { it.Step(); }));
    EXPECT_STREQ("a!", list.iterator().Text());

    TList<ZymString> empty;
    TList<ZymString>::ConstIterator cit(empty);
    EXPECT_FALSE(cit.hasCurrent());
    EXPECT_EQ("TList::ConstIterator::iterator(): the interator is null.", MessageOf([&] { cit.iterator(); }));
    EXPECT_EQ("TList::ConstIterator::Step(): No more entries.  Unable to step.", MessageOf([&] { cit.Step(); }));
}

TEST(TList, OwnsCopiesOfItsElements)
{
    ZymString original("text");
    TList<ZymString> list;
    list.append(original);
    original += ZymString(" changed");
    EXPECT_EQ("text,", Contents(list));

    Counted::s_nLive = 0;
    {
        TList<Counted> counted;
        Counted item(1);
        counted.append(item);
        counted.append(Counted(2));
        counted.append(Counted(3));
        EXPECT_EQ(4, Counted::s_nLive);
        counted.remove(Counted(2));
        EXPECT_EQ(3, Counted::s_nLive);
        counted.rewind();
        counted.removeCurrent();
        EXPECT_EQ(2, Counted::s_nLive);
    }
    EXPECT_EQ(0, Counted::s_nLive);
}
