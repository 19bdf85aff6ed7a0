# Installation and packaging rules live here.
