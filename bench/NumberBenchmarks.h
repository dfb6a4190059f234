#pragma once
// Session numbers: reading a field and writing a double the way sessions
// are read and written, against std::to_chars: the cost of the text
// itself, which bounds how fast a session can be replayed.
void registerNumberBenchmarks();
