// MSyntax: a command's flag syntax. Commands in this host read their arguments themselves, so a
// syntax carries nothing and commands are registered without one.
#pragma once

class MSyntax {};
