#include "RecordingChat.h"

RecordingChat::RecordingChat() : messageResult(1)
{
}

void RecordingChat::Call(const std::string& name, std::initializer_list<const char*> args)
{
    std::string line = name;
    for (const char* arg : args)
    {
        line += " ";
        line += arg != nullptr ? arg : "(null)";
    }
    calls.push_back(line);
}

void RecordingChat::SetEventSink(ChatEventSink*) { Call("SetEventSink", {}); }
int RecordingChat::Connect(const char* pszServer) { Call("Connect", {pszServer}); return 1; }
void RecordingChat::Quit() { Call("Quit", {}); }
void RecordingChat::Reserved1() { Call("Reserved1", {}); }
void RecordingChat::Reserved2() { Call("Reserved2", {}); }
int RecordingChat::SendMessage(const char* pszChannel, const char* pszMessage)
{
    Call("SendMessage", {pszChannel, pszMessage});
    return messageResult;
}
void RecordingChat::SendPrivateMessage(const char* pszChannel, const char* pszMessage,
                                       const char* pszNickname)
{
    Call("SendPrivateMessage", {pszChannel, pszMessage, pszNickname});
}
void RecordingChat::Reserved3() { Call("Reserved3", {}); }
void RecordingChat::Reserved4() { Call("Reserved4", {}); }
void RecordingChat::ListChannels() { Call("ListChannels", {}); }
void RecordingChat::RequestNames(const char* pszChannel) { Call("RequestNames", {pszChannel}); }
void RecordingChat::LeaveChannel(const char* pszChannel) { Call("LeaveChannel", {pszChannel}); }
void RecordingChat::Join(const char* pszChannel) { Call("Join", {pszChannel}); }
void RecordingChat::EnterChannel(const char* pszChannel) { Call("EnterChannel", {pszChannel}); }
void RecordingChat::SetNickname(const char* pszNickname) { Call("SetNickname", {pszNickname}); }
void RecordingChat::SetHostText(const char* pszText) { Call("SetHostText", {pszText}); }
void RecordingChat::SetRealName(const char* pszRealName) { Call("SetRealName", {pszRealName}); }
void RecordingChat::SetUserName(const char* pszUserName) { Call("SetUserName", {pszUserName}); }
void RecordingChat::SetOptionFlag(unsigned char) { Call("SetOptionFlag", {}); }
int RecordingChat::ConnectToServer(const char* pszServer)
{
    Call("ConnectToServer", {pszServer});
    return 1;
}
int RecordingChat::SendChannelMessage(const char* pszChannel, const char* pszMessage)
{
    Call("SendChannelMessage", {pszChannel, pszMessage});
    return messageResult;
}
void RecordingChat::SendNotice(const char* pszTarget, const char* pszMessage, const char* pszExtra)
{
    Call("SendNotice", {pszTarget, pszMessage, pszExtra});
}
void RecordingChat::SendInvite(const char* pszChannel, const char* pszNickname)
{
    Call("SendInvite", {pszChannel, pszNickname});
}
void RecordingChat::SendAttributeUpdate(const char* pszKey, const char* pszValue)
{
    Call("SendAttributeUpdate", {pszKey, pszValue});
}
void RecordingChat::JoinChannel(const char* pszChannel, int nKind)
{
    Call("JoinChannel", {pszChannel, std::to_string(nKind).c_str()});
}
void RecordingChat::SetMode(const char* pszTarget, const char* pszMode, const char* pszArgument)
{
    Call("SetMode", {pszTarget, pszMode, pszArgument});
}
