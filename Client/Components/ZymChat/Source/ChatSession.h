#ifndef ZYM_CHATSESSION_H
#define ZYM_CHATSESSION_H

#include <atomic>
#include <string>
#include <vector>

#include "CapabilityNegotiation.h"
#include "MemberIndex.h"
#include "SaslLogin.h"
#include "ServerRules.h"
#include "SessionOutput.h"
#include "TLookupList.h"
#include "ThreadLock.h"
#include "ZymString.h"

class ChannelEntry;
class IrcMessage;
class LineCounts;
class ScramCrypto;

// What the chat knows between lines: the channel table with its two name
// maps, the members seen, our attributes, our nicknames and login names, the
// server's rules for names, and whether the server has welcomed us. One lock
// guards all of it; every call takes it for its whole course and gives it
// back before it returns. The session never touches the socket or the host:
// each call writes the lines to send and the events to report into a
// SessionOutput, which the component routes once the lock is released.
class ChatSession
{
public:
    // The crypto serves SCRAM logins and must outlive the session.
    ChatSession(const LineCounts& lineCounts, const ScramCrypto& crypto);
    ~ChatSession();
    ChatSession(const ChatSession&) = delete;
    ChatSession& operator=(const ChatSession&) = delete;

    // A server line of the kinds the session keeps state for; others change
    // nothing.
    void Handle(const IrcMessage& message, SessionOutput& out);

    // The host's operations on the channels and the names.
    void JoinChannel(const char* pszChannel, int nKind, SessionOutput& out);
    void LeaveChannel(const char* pszChannel, SessionOutput& out);
    // False when the message is refused (no joined channel of that name):
    // then nothing is written.
    bool ChannelMessage(const char* pszChannel, const char* pszMessage, SessionOutput& out);
    void PrivateMessage(const char* pszChannel, const char* pszMessage, const char* pszNickname,
                        SessionOutput& out);
    void Invite(const char* pszChannel, const char* pszNickname, SessionOutput& out);
    void AttributeUpdate(const char* pszKey, const char* pszValue, SessionOutput& out);
    void NamesRequest(const char* pszChannel, SessionOutput& out);
    void Notice(const char* pszTarget, const char* pszMessage, const char* pszExtra,
                SessionOutput& out);
    // True when the list may be asked for now; before the welcome the
    // welcome asks for it.
    bool ListNow();
    void SetNickname(const char* pszNickname, SessionOutput& out);
    void SetRealName(const char* pszRealName);
    void SetUserName(const char* pszUserName);

    // The host of the extended interface: the capabilities that change what
    // a host hears are requested, and events with details are written.
    // False: today's host again, which requests none.
    void SetExtendedHost(bool bExtended = true);
    // A capability requested at the next login on the host's wish; false
    // for one the session does not take that way.
    bool RequestCapability(const char* pszName);
    // SaslLogin::Configure for the next login.
    bool SetSaslLogin(const char* pszMechanism, const char* pszAccount, const char* pszPassword,
                      int nFlags);

    // The lines of a login: "CAP LS 302", NICK and USER; from then on a new
    // nickname goes to the server even before the welcome. bSecureLink: the
    // connection has TLS, so a password may go over it; bClientCertificate:
    // it presents a client certificate, which SASL EXTERNAL relies on.
    void LoginLines(bool bSecureLink, bool bClientCertificate, SessionOutput& out);
    void ConnectionEnded();
    // The server refused our nickname (433, 436): the host gave up on it, or
    // we keep the one the server confirmed last.
    void NicknameRefused(bool bHostGaveUp);

    bool Welcomed() const { return m_bWelcomed.load(); }
    // The nickname the next login sends.
    std::string Nickname() const;
    // Empty while the table, the name maps and the members agree: names are
    // mapped only for channels in the table, and members kept only for
    // mapped channels. Otherwise what disagrees.
    std::string Inconsistency() const;
    // The lock of the whole session, for a caller that must hold the state
    // still across its own steps.
    ThreadLock& TableLock() { return m_TableLock; }

private:
    // Inbound handlers; their caller holds m_TableLock.
    void OnPrivmsg(const IrcMessage& message, SessionOutput& out);
    void OnNotice(const IrcMessage& message, SessionOutput& out);
    void OnInvite(const IrcMessage& message, SessionOutput& out);
    void OnJoin(const IrcMessage& message, SessionOutput& out);
    void OnPart(const IrcMessage& message, SessionOutput& out);
    void OnNick(const IrcMessage& message, SessionOutput& out);
    void OnKick(const IrcMessage& message, SessionOutput& out);
    void OnQuit(const IrcMessage& message, SessionOutput& out);
    void OnListEntry(const IrcMessage& message, SessionOutput& out);
    void OnNamesReply(const IrcMessage& message, SessionOutput& out);
    void OnMotd(const IrcMessage& message, SessionOutput& out);
    void OnWelcome(SessionOutput& out);
    // Capability negotiation and SASL (ChatSessionCapabilities.cpp).
    void OnCap(const IrcMessage& message, SessionOutput& out);
    // The server does not know CAP (421 to it).
    void OnCapUnknown(const IrcMessage& message);
    void OnAuthenticate(const IrcMessage& message, SessionOutput& out);
    void OnSaslNumeric(const IrcMessage& message, SessionOutput& out);
    // The names to request of what the server offers: the extended host's,
    // and sasl when a login is set and may go over this connection.
    std::vector<std::string> WantedCapabilities() const;
    // A login is set, the server offers its mechanism, and the connection
    // may carry the password.
    bool SaslPossible() const;
    // Requests what is wanted and offered; at login, without anything to
    // request, goes on to SASL or ends the negotiation.
    void RequestOffered(SessionOutput& out);
    // All requests answered at login: SASL, or "CAP END".
    void AfterRequests(SessionOutput& out);
    void EndNegotiation(SessionOutput& out);
    // A SASL login that cannot take place or failed: reported, and the
    // connection ends when the login was required, else the negotiation.
    void SaslFailed(int nCode, const std::string& text, SessionOutput& out);
    // The server welcomes us (001 to 004): a SASL login undertaken that
    // neither succeeded nor failed never took place. False when the login
    // was required and the welcome must change nothing.
    bool WelcomeAllowed(SessionOutput& out);
    // Sends a SASL message in chunks of 400 characters.
    void SendAuthenticate(const std::string& message, SessionOutput& out);
    void NotifyCapabilities(SessionOutput& out);

    // Events with details for the extended host (ChatSessionEvents.cpp).
    void OnTopic(const IrcMessage& message, SessionOutput& out);
    void OnTopicNumeric(const IrcMessage& message, SessionOutput& out);
    void OnMode(const IrcMessage& message, SessionOutput& out);
    void OnUserState(const IrcMessage& message, SessionOutput& out);
    // The time, message id and account of a message, with the code.
    SessionOutput::Detail DetailOf(const IrcMessage& message, int nCode) const;
    // The host's name of a channel the server names, else the server's.
    std::string ChannelForHost(const std::string& serverName) const;

    // The nickname the server addresses a welcome numeric to.
    void OnWelcomeTarget(const IrcMessage& message);

    // Channel table rules; their callers hold m_TableLock.
    void JoinPendingChannels(SessionOutput& out);
    void ResolveOwnJoin(const ZymString& serverName, SessionOutput& out);
    // The table's row an own JOIN confirms: the name itself, the name
    // without the digits a server appends, or the one join under way.
    bool MatchOwnJoinHeld(const ZymString& serverName, ZymString& hostName) const;
    // Maps the host's and the server's name of a channel to each other.
    void MapChannelHeld(const ZymString& hostName, const ZymString& serverName);
    void HandleOwnPart(const ZymString& serverName);
    void LeaveChannelHeld(const ZymString& hostName, SessionOutput& out);
    void NoticeHeld(const char* pszTarget, const char* pszMessage, const char* pszExtra,
                    SessionOutput& out);
    // One attribute update notice per attribute we hold, to one channel.
    void SendAttributesHeld(const char* pszTarget, SessionOutput& out);
    // Keeps the member only while the channel is in the table.
    void AddMember(const std::string& nickname, const std::string& channel);
    // Drops the channel's name rows and members once it leaves the table.
    void ForgetChannelHeld(const ZymString& hostName);
    // The nickname that marks our own lines: the one the server confirmed
    // last, else the one we asked for.
    const ZymString& OwnNicknameHeld() const;
    // Whether the server's name for a user is our own, by its case mapping.
    bool IsOwnNicknameHeld(const std::string& nickname) const;
    // The host's name of a channel the server names, compared by the
    // server's case mapping; false when no joined channel has that name.
    bool HostNameOfHeld(const std::string& serverName, ZymString& hostName) const;
    // The key of the table's row for a name the server sent: the exact row
    // first, else one that is the same name by the server's case mapping.
    bool ChannelKeyHeld(const ZymString& name, ZymString& key) const;
    // The form of a nickname or channel name the member index keys by.
    std::string MemberKey(const std::string& name) const;
    // The line count the lines written so far will have reached once the
    // component has queued them.
    long QueuedAfter(const SessionOutput& out) const;

    const LineCounts& m_LineCounts;
    mutable ThreadLock m_TableLock;

    TLookupList<ZymString, ZymString> m_ServerNames;
    TLookupList<ZymString, ZymString> m_HostNames;
    TLookupList<ZymString, ZymString> m_Attributes;
    MemberIndex m_Members;
    TLookupList<ZymString, ChannelEntry*> m_Channels;
    ServerRules m_ServerRules;
    CapabilityNegotiation m_Caps;
    SaslLogin m_Sasl;
    bool m_bExtendedHost;
    bool m_bEchoWanted;
    // The connection of the login has TLS.
    bool m_bSecureLink;
    bool m_bClientCertificate;
    // This connection undertook a SASL login (one was set at its login or
    // when the server's list ended) whose outcome is not known yet.
    bool m_bSaslPending;
    // A required SASL login failed: the connection is ending.
    bool m_bLoginRefused;

    ZymString m_Nickname;
    // The nickname the server last addressed us by (its welcome, or a NICK
    // line of ours); empty before the welcome.
    ZymString m_ConfirmedNickname;
    ZymString m_RealName;
    ZymString m_UserName;

    // Read without the lock by the component's connect.
    std::atomic<bool> m_bWelcomed;
    // ListChannels was called before the welcome.
    bool m_bListPending;
    // Set once the login lines are written, until the connection ends: a
    // new nickname must then reach the server even before the welcome, or a
    // refused login nickname could never be replaced.
    bool m_bLoginSent;
};

#endif
