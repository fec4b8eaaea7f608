// Login exchanges with servers of every kind of CAP and SASL answer, and the
// events with details an extended host hears, driven through the session:
// what the server sees, what the host is told, and whether the login goes on.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ExtendedChatComponent.h"
#include "ExtendedChatEventSink.h"
#include "SessionUnderTest.h"

namespace
{
    typedef std::vector<std::string> Lines;

    // The RFC 7677 nonce "rOprNGfwEbeRWgbNEkqO" as the bytes it encodes.
    const std::string kRfcNonceBytes("\xac\xea\x6b\x34\x67\xf0\x11\xb7\x91\x5a\x06\xcd\x12\x4a\x8e",
                                     15);

    struct Exchange
    {
        const char* pszName;
        bool bExtendedHost;
        // Null: no SASL login.
        const char* pszMechanism;
        int nFlags;
        // What the connection is: kPlainLink (false), kTls (true) or
        // kTlsWithCertificate.
        int nLink;
        // The whole conversation after our login lines: "S: " lines the
        // server sends, "C: " lines we must send in answer, in order;
        // "H: clear" and "H: PLAIN" are the host clearing its login or
        // setting a PLAIN one meanwhile.
        Lines script;
        // The codes the host is told of with ReportError, in order.
        std::vector<int> failures;
        bool bConnectionEnds;
    };

    const int kTls = 1;
    const int kTlsWithCertificate = 2;

    const char* const kLogin[] = {"C: CAP LS 302", "C: NICK me", "C: USER ... 0 *  :..."};

    // The SCRAM exchange of RFC 7677 (user "user", password "pencil"), each
    // message in base64 as AUTHENTICATE carries it.
    const char kScramClientFirst[] = "biwsbj11c2VyLHI9ck9wck5HZndFYmVSV2diTkVrcU8=";  // n,,n=user,r=rOpr...
    const char kScramServerFirst[] =
        "cj1yT3ByTkdmd0ViZVJXZ2JORWtxTyVodllEcFdVYTJSYVRDQWZ1eEZJbGopaE5sRiRrMCxzPVcyMlphSjBTTlk3"
        "c29Fc1VFamI2Z1E9PSxpPTQwOTY=";  // r=...,s=W22ZaJ0SNY7soEsUEjb6gQ==,i=4096
    const char kScramClientFinal[] =
        "Yz1iaXdzLHI9ck9wck5HZndFYmVSV2diTkVrcU8laHZZRHBXVWEyUmFUQ0FmdXhGSWxqKWhObEYkazAscD1kSHpi"
        "WmFwV0lrNGpVaE4rVXRlOXl0YWc5empmTUhnc3FtbWl6N0FuZFZRPQ==";  // c=biws,r=...,p=dHzbZapW...
    const char kScramServerFinal[] =
        "dj02cnJpVFJCaTIzV3BSUi93dHVwK21NaFVaVW4vZEI1bkxUSlJzamw5NUc0PQ==";  // v=6rriTRBi...
    // The same with the signature's first byte changed.
    const char kScramForgedFinal[] =
        "dj03cnJpVFJCaTIzV3BSUi93dHVwK21NaFVaVW4vZEI1bkxUSlJzamw5NUc0PQ==";
    // r=somebodyelse,...: a nonce that does not extend ours.
    const char kScramForeignNonce[] =
        "cj1zb21lYm9keWVsc2Uscz1XMjJaYUowU05ZN3NvRXNVRWpiNmdRPT0saT00MDk2";

    std::string S(const std::string& line) { return "S: " + line; }
    std::string C(const std::string& line) { return "C: " + line; }

    Lines Join(std::initializer_list<Lines> parts)
    {
        Lines all;
        for (const Lines& part : parts)
            all.insert(all.end(), part.begin(), part.end());
        return all;
    }

    // The server offers sasl and server-time; the extended host asks for
    // both and gets them.
    Lines SaslGranted(const char* pszMechanism)
    {
        return {S(":irc.test CAP * LS :server-time sasl=PLAIN,SCRAM-SHA-256,EXTERNAL"),
                C("CAP REQ :server-time sasl"), S(":irc.test CAP * ACK :server-time sasl"),
                C(std::string("AUTHENTICATE ") + pszMechanism), S("AUTHENTICATE +")};
    }

    const Lines kPlainAnswer = {C("AUTHENTICATE YWNjdABhY2N0AHB3")};  // acct\0acct\0pw
    const Lines kScramToProof = {C(std::string("AUTHENTICATE ") + kScramClientFirst),
                                 S(std::string("AUTHENTICATE ") + kScramServerFirst),
                                 C(std::string("AUTHENTICATE ") + kScramClientFinal)};

    Lines SaslFailure(const std::string& numeric, const std::string& text)
    {
        return {S(":irc.test " + numeric + " me :" + text)};
    }

    const int kRequired = SASL_LOGIN_REQUIRED;

    // A server message that never ends: full chunks of 400 characters, as
    // many as would make a message longer than any SASL answer of ours
    // (8 KiB) once more.
    Lines EndlessChunks()
    {
        Lines chunks;
        for (int i = 0; i < 21; ++i)
            chunks.push_back(S("AUTHENTICATE " + std::string(400, 'A')));
        return chunks;
    }

    std::vector<Exchange> Exchanges()
    {
        return {
            {"a list over several lines is requested from once it ends", true, nullptr, 0, false,
             {S(":irc.test CAP * LS * :multi-prefix sasl=PLAIN unknown-thing"),
              S(":irc.test CAP * LS * :server-time=ignored away-notify"),
              S(":irc.test CAP * LS :chghost echo-message"),
              C("CAP REQ :multi-prefix server-time away-notify chghost"),
              S(":irc.test CAP * ACK :multi-prefix server-time away-notify chghost"), C("CAP END")},
             {},
             false},
            {"a refused request still ends the negotiation", true, nullptr, 0, false,
             {S(":irc.test CAP * LS :server-time"), C("CAP REQ :server-time"),
              S(":irc.test CAP * NAK :server-time"), C("CAP END")},
             {},
             false},
            {"today's host lists and ends without requesting", false, nullptr, 0, false,
             {S(":irc.test CAP * LS :multi-prefix server-time userhost-in-names"), C("CAP END")},
             {},
             false},
            {"a server that ignores CAP logs us in; a late list changes nothing", true, nullptr, 0,
             false,
             {S(":irc.test 001 me :Welcome"), S(":irc.test CAP * LS :server-time")},
             {},
             false},
            {"a server that does not know CAP answers 421", true, nullptr, 0, false,
             {S(":irc.test 421 me CAP :Unknown command"), S(":irc.test CAP * LS :server-time"),
              S(":irc.test 001 me :Welcome")},
             {},
             false},
            {"a capability that comes later is requested then", true, nullptr, 0, false,
             {S(":irc.test CAP * LS :cap-notify"), C("CAP REQ :cap-notify"),
              S(":irc.test CAP * ACK :cap-notify"), C("CAP END"), S(":irc.test 001 me :Welcome"),
              S(":irc.test CAP me NEW :account-notify sasl"), C("CAP REQ :account-notify")},
             {},
             false},
            {"a capability offered again while its request is open is not asked for twice", true,
             nullptr, 0, false,
             {S(":irc.test CAP * LS :cap-notify"), C("CAP REQ :cap-notify"),
              S(":irc.test CAP * ACK :cap-notify"), C("CAP END"),
              S(":irc.test CAP me NEW :away-notify"), C("CAP REQ :away-notify"),
              S(":irc.test CAP me NEW :away-notify"), S(":irc.test CAP me NEW :away-notify chghost"),
              C("CAP REQ :chghost"), S(":irc.test CAP me ACK :away-notify"),
              S(":irc.test CAP me DEL :away-notify"), S(":irc.test CAP me NEW :away-notify"),
              C("CAP REQ :away-notify")},
             {},
             false},
            {"SASL PLAIN logs in and then ends the negotiation", true, "PLAIN", kRequired, true,
             Join({SaslGranted("PLAIN"), kPlainAnswer,
                   {S(":irc.test 900 me me!u@h acct :You are now logged in as acct"),
                    S(":irc.test 903 me :SASL authentication successful"), C("CAP END"),
                    S(":irc.test 001 me :Welcome")}}),
             {},
             false},
            {"a refused PLAIN login goes on unauthenticated when not required", true, "PLAIN", 0,
             true,
             Join({SaslGranted("PLAIN"), kPlainAnswer,
                   SaslFailure("904", "SASL authentication failed"), {C("CAP END")}}),
             {904},
             false},
            {"a refused PLAIN login that was required ends the connection", true, "PLAIN",
             kRequired, true,
             Join({SaslGranted("PLAIN"), kPlainAnswer,
                   {S(":irc.test 908 me PLAIN :are available SASL mechanisms")},
                   SaslFailure("904", "SASL authentication failed")}),
             {908, 904},
             true},
            {"a locked account (902) ends a required login", true, "PLAIN", kRequired, true,
             Join({SaslGranted("PLAIN"), kPlainAnswer,
                   SaslFailure("902", "You must use a nick assigned to you")}),
             {902},
             true},
            {"a too long message (905) ends a required login", true, "PLAIN", kRequired, true,
             Join({SaslGranted("PLAIN"), kPlainAnswer, SaslFailure("905", "SASL message too long")}),
             {905},
             true},
            {"an aborted login (906) ends a required login", true, "PLAIN", kRequired, true,
             Join({SaslGranted("PLAIN"), kPlainAnswer,
                   SaslFailure("906", "SASL authentication aborted")}),
             {906},
             true},
            {"an account logged in already (907) goes on when not required", true, "PLAIN", 0,
             true,
             Join({SaslGranted("PLAIN"), kPlainAnswer,
                   SaslFailure("907", "You have already authenticated"), {C("CAP END")}}),
             {907},
             false},
            {"no password over a connection without TLS", true, "PLAIN", 0, false,
             {S(":irc.test CAP * LS :sasl server-time"), C("CAP REQ :server-time"),
              S(":irc.test CAP * ACK :server-time"), C("CAP END")},
             {-1011},
             false},
            {"an ACK of sasl never requested sends no password without TLS", true, "PLAIN", 0,
             false,
             {S(":irc.test CAP * LS :sasl server-time"), C("CAP REQ :server-time"),
              S(":irc.test CAP * ACK :server-time sasl"), C("CAP END"),
              S("AUTHENTICATE +")},
             {-1011},
             false},
            {"an ACK of sasl never requested sends no password for a mechanism not offered", true,
             "PLAIN", 0, true,
             {S(":irc.test CAP * LS :sasl=EXTERNAL server-time"), C("CAP REQ :server-time"),
              S(":irc.test CAP * ACK :sasl server-time"), C("CAP END"), S("AUTHENTICATE +")},
             {-1010},
             false},
            {"no TLS and a required login: the connection ends before anything is asked", true,
             "PLAIN", kRequired, false,
             {S(":irc.test CAP * LS :sasl server-time")},
             {-1011},
             true},
            {"without TLS when the host allows it explicitly", true, "PLAIN",
             SASL_LOGIN_ALLOW_PLAINTEXT, false,
             Join({SaslGranted("PLAIN"), kPlainAnswer,
                   {S(":irc.test 903 me :SASL authentication successful"), C("CAP END")}}),
             {},
             false},
            {"a server without SASL and a required login", true, "PLAIN", kRequired, true,
             {S(":irc.test CAP * LS :server-time")},
             {-1010},
             true},
            {"a welcome in the middle of a required login ends the connection", true, "PLAIN",
             kRequired, true,
             Join({SaslGranted("PLAIN"), kPlainAnswer, {S(":irc.test 001 me :Welcome")}}),
             {-1010},
             true},
            {"a login announced (900) but never confirmed (903) is no login", true, "PLAIN",
             kRequired, true,
             Join({SaslGranted("PLAIN"), kPlainAnswer,
                   {S(":irc.test 900 me me!u@h acct :You are now logged in as acct"),
                    S(":irc.test 001 me :Welcome")}}),
             {-1010},
             true},
            {"a server that stops knowing CAP after its list cannot skip a required login", true,
             "PLAIN", kRequired, true,
             {S(":irc.test CAP * LS :sasl"), C("CAP REQ :sasl"),
              S(":irc.test 421 me CAP :Unknown command"), S(":irc.test 001 me :Welcome")},
             {-1010},
             true},
            {"a server that ignores CAP cannot skip a required login", true, "PLAIN", kRequired,
             true,
             {S(":irc.test 001 me :Welcome")},
             {-1010},
             true},
            {"a server that ignores CAP is told of when the login was not required", true, "PLAIN",
             0, true,
             {S(":irc.test 001 me :Welcome"), S(":irc.test 002 me :Your host")},
             {-1010},
             false},
            {"success (903) before our PLAIN answer is no login", true, "PLAIN", kRequired, true,
             {S(":irc.test CAP * LS :sasl"), C("CAP REQ :sasl"), S(":irc.test CAP * ACK :sasl"),
              C("AUTHENTICATE PLAIN"), S(":irc.test 903 me :SASL authentication successful")},
             {-1012},
             true},
            {"a refused sasl (NAK) ends a required login", true, "PLAIN", kRequired, true,
             {S(":irc.test CAP * LS :sasl"), C("CAP REQ :sasl"), S(":irc.test CAP * NAK :sasl")},
             {-1010},
             true},
            {"a server without our mechanism", true, "SCRAM-SHA-256", 0, true,
             {S(":irc.test CAP * LS :sasl=EXTERNAL,PLAIN"), C("CAP END")},
             {-1010},
             false},
            {"SCRAM-SHA-256 follows RFC 7677 and checks the server's signature", true,
             "SCRAM-SHA-256", kRequired, true,
             Join({SaslGranted("SCRAM-SHA-256"), kScramToProof,
                   {S(std::string("AUTHENTICATE ") + kScramServerFinal), C("AUTHENTICATE +"),
                    S(":irc.test 903 me :SASL authentication successful"), C("CAP END")}}),
             {},
             false},
            {"SCRAM with a forged server signature is aborted", true, "SCRAM-SHA-256", 0, true,
             Join({SaslGranted("SCRAM-SHA-256"), kScramToProof,
                   {S(std::string("AUTHENTICATE ") + kScramForgedFinal), C("AUTHENTICATE *"),
                    C("CAP END"), S(":irc.test 906 me :SASL authentication aborted")}}),
             {-1012},
             false},
            {"SCRAM success claimed without the server's proof is refused", true,
             "SCRAM-SHA-256", kRequired, true,
             Join({SaslGranted("SCRAM-SHA-256"), kScramToProof,
                   {S(":irc.test 903 me :SASL authentication successful")}}),
             {-1012},
             true},
            {"a login cleared during the exchange sends no password", true, "PLAIN", 0, true,
             {S(":irc.test CAP * LS :sasl"), C("CAP REQ :sasl"), S(":irc.test CAP * ACK :sasl"),
              C("AUTHENTICATE PLAIN"), "H: clear", S("AUTHENTICATE +"), C("AUTHENTICATE *"),
              C("CAP END")},
             {-1012},
             false},
            {"a login changed during the exchange is for the next connection", true,
             "SCRAM-SHA-256", 0, true,
             Join({{S(":irc.test CAP * LS :sasl=SCRAM-SHA-256"), C("CAP REQ :sasl"),
                    S(":irc.test CAP * ACK :sasl"), C("AUTHENTICATE SCRAM-SHA-256"), "H: PLAIN",
                    S("AUTHENTICATE +")},
                   kScramToProof}),
             {},
             false},
            {"a required login set after the login began is for the next connection", true,
             nullptr, kRequired, true,
             {S(":irc.test CAP * LS :sasl server-time"), C("CAP REQ :server-time"),
              S(":irc.test CAP * ACK :server-time"), C("CAP END"), "H: PLAIN",
              S(":irc.test 001 me :Welcome")},
             {},
             false},
            {"a server message that never ends is aborted once it is too long", true,
             "SCRAM-SHA-256", kRequired, true,
             Join({SaslGranted("SCRAM-SHA-256"),
                   {C(std::string("AUTHENTICATE ") + kScramClientFirst)}, EndlessChunks(),
                   {C("AUTHENTICATE *")}}),
             {-1012},
             true},
            {"SCRAM with a server nonce that does not extend ours is aborted", true,
             "SCRAM-SHA-256", kRequired, true,
             Join({SaslGranted("SCRAM-SHA-256"),
                   {C(std::string("AUTHENTICATE ") + kScramClientFirst),
                    S(std::string("AUTHENTICATE ") + kScramForeignNonce), C("AUTHENTICATE *")}}),
             {-1012},
             true},
            {"EXTERNAL answers with an empty identity and the certificate logs in", true,
             "EXTERNAL", kRequired, kTlsWithCertificate,
             Join({SaslGranted("EXTERNAL"),
                   {C("AUTHENTICATE +"),
                    S(":irc.test 900 me me!u@h acct :You are now logged in as acct"),
                    S(":irc.test 903 me :SASL authentication successful"), C("CAP END")}}),
             {},
             false},
            {"a certificate the server does not know (904) ends a required EXTERNAL login", true,
             "EXTERNAL", kRequired, kTlsWithCertificate,
             Join({SaslGranted("EXTERNAL"),
                   {C("AUTHENTICATE +"), S(":irc.test 904 me :SASL authentication failed")}}),
             {904},
             true},
            {"EXTERNAL without a client certificate asks for nothing", true, "EXTERNAL", kRequired,
             kTls,
             {S(":irc.test CAP * LS :sasl=EXTERNAL server-time")},
             {-1011},
             true},
            // Allowing plaintext is about passwords: EXTERNAL has none, and
            // without TLS there is no certificate for it to rest on.
            {"EXTERNAL without TLS, plaintext allowed, goes on unauthenticated", true, "EXTERNAL",
             SASL_LOGIN_ALLOW_PLAINTEXT, false,
             {S(":irc.test CAP * LS :sasl=EXTERNAL server-time"), C("CAP REQ :server-time"),
              S(":irc.test CAP * ACK :server-time"), C("CAP END")},
             {-1011},
             false},
        };
    }

    const char* Account(const Exchange& exchange)
    {
        std::string mechanism = exchange.pszMechanism;
        return mechanism == "PLAIN" ? "acct" : mechanism == "EXTERNAL" ? nullptr : "user";
    }

    const char* Password(const Exchange& exchange)
    {
        std::string mechanism = exchange.pszMechanism;
        return mechanism == "PLAIN" ? "pw" : mechanism == "EXTERNAL" ? nullptr : "pencil";
    }
}

TEST(CapabilityExchange, EachServerAnswerLeadsToTheLinesAndReportsItCalls)
{
    for (const Exchange& exchange : Exchanges())
    {
        SCOPED_TRACE(exchange.pszName);
        SessionUnderTest session;
        session.Session().SetUserName("...");
        session.Session().SetRealName("...");
        if (exchange.bExtendedHost)
            session.Session().SetExtendedHost();
        if (exchange.pszMechanism != nullptr)
        {
            ASSERT_TRUE(session.Session().SetSaslLogin(exchange.pszMechanism, Account(exchange),
                                                       Password(exchange), exchange.nFlags));
            session.FixRandomBytes(kRfcNonceBytes);
        }
        session.LogIn(exchange.nLink != 0, exchange.nLink == kTlsWithCertificate);

        Lines seen;
        for (const std::string& line : session.TakeLines())
            seen.push_back(C(line));
        for (const std::string& step : exchange.script)
        {
            if (step == "H: clear" || step == "H: PLAIN")
            {
                seen.push_back(step);
                ASSERT_TRUE(step == "H: clear"
                                ? session.Session().SetSaslLogin(nullptr, nullptr, nullptr, 0)
                                : session.Session().SetSaslLogin("PLAIN", "acct", "pw",
                                                                 exchange.nFlags));
                continue;
            }
            if (step.compare(0, 3, "S: ") != 0)
                continue;
            seen.push_back(step);
            session.Dispatch(step.substr(3));
            for (const std::string& line : session.TakeLines())
                seen.push_back(C(line));
        }
        Lines expected(std::begin(kLogin), std::end(kLogin));
        expected.insert(expected.end(), exchange.script.begin(), exchange.script.end());
        EXPECT_EQ(expected, seen);

        std::vector<int> codes;
        for (const SessionOutput::Failure& failure : session.Failures())
        {
            codes.push_back(failure.m_nCode);
            // The text begins with the code, the server's words after it.
            EXPECT_EQ(0u, failure.m_Text.find(std::to_string(failure.m_nCode) + " "))
                << failure.m_Text;
        }
        EXPECT_EQ(exchange.failures, codes);
        EXPECT_EQ(exchange.bConnectionEnds, session.EndedConnection());
    }
}

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZYM_HEAP_MEASURED 1
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif
#endif

TEST(CapabilityExchange, CapabilityListsThatNeverEndHoldNoMoreMemory)
{
#ifdef ZYM_HEAP_MEASURED
    // Every line offers forty names never seen before, as a list that says
    // more follows, then as new capabilities once the login is done.
    SessionUnderTest session;
    session.Session().SetExtendedHost();
    session.LogIn(true);
    int nName = 0;
    auto offer = [&](const std::string& prefix) {
        for (int nLine = 0; nLine < 1000; ++nLine)
        {
            std::string names;
            for (int i = 0; i < 40; ++i)
                names += " x" + std::to_string(nName++);
            session.Dispatch(prefix + names);
        }
        session.TakeLines();
    };
    offer(":irc.test CAP * LS * :");
    size_t nBefore = __sanitizer_get_current_allocated_bytes();
    offer(":irc.test CAP * LS * :");
    session.Dispatch(":irc.test CAP * LS :server-time");
    session.Dispatch(":irc.test CAP * ACK :server-time");
    session.Welcome();
    offer(":irc.test CAP me NEW :");
    size_t nAfter = __sanitizer_get_current_allocated_bytes();
    // 80000 names kept would take megabytes.
    EXPECT_LT(nAfter, nBefore + 64 * 1024) << nAfter - nBefore;
#else
    GTEST_SKIP() << "the heap is measured in the AddressSanitizer build";
#endif
}

TEST(CapabilityExchange, ALongSaslAnswerGoesInChunksOfFourHundred)
{
    // "a\0a\0" and 298 characters: 302 bytes, 404 characters of base64.
    for (size_t nPassword : {298u, 296u})
    {
        SessionUnderTest session;
        session.Session().SetExtendedHost();
        ASSERT_TRUE(session.Session().SetSaslLogin("PLAIN", "a", std::string(nPassword, 'p').c_str(),
                                                   0));
        session.LogIn(true);
        for (const char* pszLine :
             {":irc.test CAP * LS :sasl", ":irc.test CAP * ACK :sasl", "AUTHENTICATE +"})
            session.Dispatch(pszLine);
        Lines lines = session.TakeLines();
        ASSERT_GE(lines.size(), 2u);
        std::string last = lines.back();
        std::string before = lines[lines.size() - 2];
        // 300 bytes make exactly 400 characters: an empty chunk ends them.
        if (nPassword == 296)
        {
            EXPECT_EQ("AUTHENTICATE +", last);
            EXPECT_EQ(13u + 400u, before.size());
        }
        else
        {
            EXPECT_EQ(13u + 4u, last.size()) << last;
            EXPECT_EQ(13u + 400u, before.size());
        }
    }
}

TEST(CapabilityExchange, ExternalTakesOnlyAnIdentityToActAs)
{
    SessionUnderTest session;
    session.Session().SetExtendedHost();
    // No password goes with a certificate; an identity must be one line.
    EXPECT_FALSE(session.Session().SetSaslLogin("EXTERNAL", "acct", "pw", 0));
    EXPECT_FALSE(session.Session().SetSaslLogin("EXTERNAL", "acct\r\nQUIT", nullptr, 0));
    ASSERT_TRUE(session.Session().SetSaslLogin("EXTERNAL", "acct", "", 0));
    session.LogIn(true, true);
    for (const char* pszLine :
         {":irc.test CAP * LS :sasl=EXTERNAL", ":irc.test CAP * ACK :sasl", "AUTHENTICATE +"})
        session.Dispatch(pszLine);
    Lines lines = session.TakeLines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ("AUTHENTICATE YWNjdA==", lines.back());  // "acct"
}
