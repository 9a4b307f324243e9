#include "core/net/HttpErrors.h"

#include <curl/curl.h>

namespace quorix::net {

namespace {

const char* describe(HttpErrorCode code) {
    switch (code) {
        case kHttpCancelled:
            return "The request was cancelled.";
        case kHttpBadURL:
            return "The URL is not valid.";
        case kHttpTimedOut:
            return "The request timed out.";
        case kHttpCannotFindHost:
            return "The server's host name could not be resolved.";
        case kHttpCannotConnect:
            return "Could not connect to the server.";
        case kHttpConnectionLost:
            return "The network connection was lost.";
        case kHttpNotConnected:
            return "The Internet connection appears to be offline.";
        case kHttpBadServerResponse:
            return "The server returned an invalid response.";
        case kHttpTooLarge:
            return "The response exceeds the maximum allowed size.";
        case kHttpTLSFailed:
            return "A secure connection to the server could not be established.";
        case kHttpOther:
            break;
    }
    return "A network error occurred.";
}

HttpErrorCode codeForCurl(CURLcode code) {
    switch (code) {
        case CURLE_URL_MALFORMAT:
            return kHttpBadURL;
        case CURLE_COULDNT_RESOLVE_HOST:
        case CURLE_COULDNT_RESOLVE_PROXY:
            return kHttpCannotFindHost;
        case CURLE_COULDNT_CONNECT:
            return kHttpCannotConnect;
        case CURLE_OPERATION_TIMEDOUT:
            return kHttpTimedOut;
        case CURLE_SEND_ERROR:
        case CURLE_RECV_ERROR:
        case CURLE_GOT_NOTHING:
        case CURLE_PARTIAL_FILE:
        case CURLE_HTTP2:
        case CURLE_HTTP2_STREAM:
            return kHttpConnectionLost;
        // The URL was checked before the transfer: an unsupported protocol here
        // means the server answered in one we refuse (e.g. HTTP/0.9).
        case CURLE_UNSUPPORTED_PROTOCOL:
        case CURLE_WEIRD_SERVER_REPLY:
        case CURLE_BAD_CONTENT_ENCODING:
        case CURLE_TOO_MANY_REDIRECTS:
            return kHttpBadServerResponse;
        case CURLE_FILESIZE_EXCEEDED:
            return kHttpTooLarge;
        case CURLE_SSL_CONNECT_ERROR:
        case CURLE_SSL_ENGINE_NOTFOUND:
        case CURLE_SSL_ENGINE_SETFAILED:
        case CURLE_SSL_CERTPROBLEM:
        case CURLE_SSL_CIPHER:
        case CURLE_PEER_FAILED_VERIFICATION:
        case CURLE_USE_SSL_FAILED:
        case CURLE_SSL_ENGINE_INITFAILED:
        case CURLE_SSL_CACERT_BADFILE:
        case CURLE_SSL_SHUTDOWN_FAILED:
        case CURLE_SSL_CRL_BADFILE:
        case CURLE_SSL_ISSUER_ERROR:
        case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
        case CURLE_SSL_INVALIDCERTSTATUS:
        case CURLE_SSL_CLIENTCERT:
            return kHttpTLSFailed;
        default:
            return kHttpOther;
    }
}

}  // namespace

Error httpError(HttpErrorCode code) {
    return Error{kHttpErrorDomain, code, describe(code)};
}

Error httpErrorFromCurl(int curlCode) {
    const auto curl = static_cast<CURLcode>(curlCode);
    const HttpErrorCode code = codeForCurl(curl);
    if (code != kHttpOther) {
        return httpError(code);
    }
    // curl_easy_strerror returns a fixed text per code, never transfer details.
    return Error{kHttpErrorDomain, kHttpOther,
                 std::string("A network error occurred (") + curl_easy_strerror(curl) + ")."};
}

}  // namespace quorix::net
