#pragma once
// The ordinary control messages every skinned control hands to its
// TsCommonData: moves and size changes, focus, mouse hover, enabled and
// visibility changes, and the skin command message.

#include "toolkit/Messages.h"

class TsCommonData;

// Call for every message of the owner; true when the message must not be
// processed further (a skin command that was answered).
bool HandleControlMessage(TsCommonData& aData, TMessage& aMessage);
