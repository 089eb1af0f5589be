#pragma once
int Panel();
