#ifndef RECORDINGCHAT_H
#define RECORDINGCHAT_H

#include <string>
#include <vector>

#include "ComponentInterfaces/ChatComponent.h"

// A chat component that only writes down each call as one line
// ("JoinChannel #a 0", "SetMode #a +s (null)"), so that the console host's
// commands can be checked without a server.
class RecordingChat : public ChatComponent
{
public:
    RecordingChat();

    std::vector<std::string> calls;
    // What SendChannelMessage and SendMessage answer.
    int messageResult;

    void SetEventSink(ChatEventSink* pSink) override;
    int Connect(const char* pszServer) override;
    void Quit() override;
    void Reserved1() override;
    void Reserved2() override;
    int SendMessage(const char* pszChannel, const char* pszMessage) override;
    void SendPrivateMessage(const char* pszChannel, const char* pszMessage,
                            const char* pszNickname) override;
    void Reserved3() override;
    void Reserved4() override;
    void ListChannels() override;
    void RequestNames(const char* pszChannel) override;
    void LeaveChannel(const char* pszChannel) override;
    void Join(const char* pszChannel) override;
    void EnterChannel(const char* pszChannel) override;
    void SetNickname(const char* pszNickname) override;
    void SetHostText(const char* pszText) override;
    void SetRealName(const char* pszRealName) override;
    void SetUserName(const char* pszUserName) override;
    void SetOptionFlag(unsigned char bFlag) override;
    int ConnectToServer(const char* pszServer) override;
    int SendChannelMessage(const char* pszChannel, const char* pszMessage) override;
    void SendNotice(const char* pszTarget, const char* pszMessage, const char* pszExtra) override;
    void SendInvite(const char* pszChannel, const char* pszNickname) override;
    void SendAttributeUpdate(const char* pszKey, const char* pszValue) override;
    void JoinChannel(const char* pszChannel, int nKind) override;
    void SetMode(const char* pszTarget, const char* pszMode, const char* pszArgument) override;

private:
    void Call(const std::string& name, std::initializer_list<const char*> args);
};

#endif
