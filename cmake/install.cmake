# Installation and packaging rules (filled in by the packaging work).
