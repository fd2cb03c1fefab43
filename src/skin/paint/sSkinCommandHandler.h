#pragma once
// The skin commands every skinned control answers through its TsCommonData.
// A command may arrive more than once (the manager's broadcast recurses, a
// framed form is in two lists, containers forward), so each handler leaves
// the same state when it runs again.

#include "platform/Types.h"
#include "skin/data/sSkinCommands.h"

class TsCommonData;

// Handles aCommand; false for a command it does not handle (or one carrying
// another manager). aResult receives the answer.
bool HandleSkinCommand(TsCommonData& aData, const TSkinCommand& aCommand,
                       platform::LRESULT& aResult);

// scPrepareSkin, scRemoveSkin and scApplySkin: the commands by which a manager
// changes the skin (prepare goes to every window first, then remove or apply).
bool IsSkinChange(platform::WORD aCommand);
// The command refers to the manager aData paints with.
bool FromOwnManager(const TsCommonData& aData, const TSkinCommand& aCommand);
