// Chat-completions replies (Groq, DeepSeek, Ollama) as any server may send them.
#include "core/ai/OpenAIChatFormat.h"
#include "tests/fuzz/ReplyInput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace quorix;
    const net::HttpResult reply = fuzz::replyFrom(data, size);
    fuzz::checkReply(OpenAIChatFormat::parseReply(reply, "Groq", "llama", "ciao", "0.42"));
    fuzz::checkReply(OpenAIChatFormat::parseReply(reply, "Ollama", "m", "\"ciao\"", "1.00"));
    return 0;
}
