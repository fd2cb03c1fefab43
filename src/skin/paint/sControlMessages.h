#pragma once
// The ordinary control messages every skinned control hands to its
// TsCommonData: moves and size changes, focus, mouse hover, enabled and
// visibility changes, and the skin command message.

#include "toolkit/Messages.h"

class TsCommonData;
class TWinControl;

// Call for every message of the owner; true when the message must not be
// processed further (a skin command that was answered).
bool HandleControlMessage(TsCommonData& aData, TMessage& aMessage);

// Which a skinned control with children lets take a skin change first.
enum class TsChildOrder { ChildrenFirst, ChildrenAfter };

// A skin change (scPrepareSkin, scRemoveSkin or scApplySkin) for a control
// with children: the control's own skin data takes it, and each child
// receives it before or after, as aOrder says (a child's plain state may ask
// for its container's). True when the change came from the control's own
// manager.
bool HandleSkinChange(TsCommonData& aData, TWinControl& aControl, TMessage& aMessage,
                      TsChildOrder aOrder);
