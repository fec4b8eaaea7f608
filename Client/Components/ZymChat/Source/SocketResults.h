#ifndef ZYM_SOCKETRESULTS_H
#define ZYM_SOCKETRESULTS_H

// Result codes of the socket layer; 0 is success.
enum SocketResult
{
    ZymSocketOk = 0,
    ZymHostLookupFailed = -1,
    ZymSocketQueryFailed = 8000,
    ZymNullArgument = 8001,
    ZymNoAddressKnown = 8002,
    ZymNotSupported = 8004,
    ZymFnctnTimedOutErr = 8005,
    ZymSocketCreateFailed = 8801,
    ZymNetworkNotStarted = 8803,
    ZymNetworkFailed = 8804,
    // Refused by Connect: a dotted address that cannot be an IPv4 address
    // because it does not fit the 19 characters of the longest one.
    ZymAddressTooLong = 8806,
    ZymNothingToRead = 8808,
    ZymConnectionAborted = 8809,
    ZymConnectFailed = 8810,
    ZymSendFailed = 8811,
    ZymReceiveFailed = 8812,
    ZymAlreadyConnected = 8815,
    ZymPeerClosed = 8817,
    // Refused by a secure Connect: no secure channel could be set up, or the
    // server's certificate failed verification.
    ZymSecureChannelRefused = 8820,
    // Refused by a secure Connect that was to present a client certificate:
    // it is in no store looked in, or its private key cannot be used (or
    // the system's TLS library would not present it).
    ZymClientCertificateNotFound = 8821,
    ZymClientCertificateUnusable = 8822
};

#endif
