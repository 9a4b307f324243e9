#pragma once
// Whether a service may write to the configuration folder. readOnly services
// read what is there and never create, write or append anything: used to inspect
// a user's configuration without touching it.

namespace quorix {

enum class StorageMode { readWrite, readOnly };

}  // namespace quorix
