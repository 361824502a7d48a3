// Identification of the operator: the write password and user code that
// every write request carries.
//
// Stand-in until the users windows exist: asks nothing, leaves the link
// object's credentials as they are and reports success.
#pragma once

bool AskUserIdentity();
