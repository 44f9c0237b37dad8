object frm0300: Tfrm0300
  Left = 200
  Top = 120
  Width = 370
  Height = 378
  Caption = 'Docuvane Expert'
  HelpFile = 'vdx3.hlp'
  HelpContext = 300
  Menu = mmMain
  Position = poScreenCenter
  OnCreate = FormCreate
  OnDestroy = FormDestroy
  OnShow = FormShow
  object pnlTop: TPanel
    Left = 0
    Top = 0
    Width = 362
    Height = 176
    Align = alClient
    BevelOuter = bvNone
    TabOrder = 0
    object tv1: TTreeView
      Left = 0
      Top = 0
      Width = 362
      Height = 176
      Align = alClient
      Indent = 19
      TabOrder = 0
      OnChanging = tv1Changing
      OnClick = tv1Click
      OnDeletion = tv1Deletion
    end
  end
  object pnlBottom: TPanel
    Left = 0
    Top = 176
    Width = 362
    Height = 151
    Align = alBottom
    BevelOuter = bvNone
    BorderWidth = 2
    TabOrder = 1
    object tbNb: TTabbedNotebook
      Left = 2
      Top = 2
      Width = 358
      Height = 147
      Align = alClient
      HelpContext = 50
      TabOrder = 0
      object pgHelpExpert: TTabPage
        Caption = 'Help Expert'
        object _10lblNodeSelected: TLabel
          Left = 8
          Top = 8
          Width = 75
          Height = 13
          Caption = 'Node Selected:'
        end
        object _10Selected: TLabel
          Left = 90
          Top = 8
          Width = 3
          Height = 13
        end
        object _10lblId: TLabel
          Left = 8
          Top = 36
          Width = 14
          Height = 13
          Alignment = taRightJustify
          Caption = 'ID:'
        end
        object _10edit: TSpinEdit
          Left = 28
          Top = 32
          Width = 121
          Height = 22
          TabOrder = 0
        end
        object _10lblTopicId: TLabel
          Left = 160
          Top = 36
          Width = 47
          Height = 13
          Caption = 'Topic ID:'
          Visible = False
        end
        object _10edtTopic: TEdit
          Left = 212
          Top = 32
          Width = 121
          Height = 21
          HelpContext = 70
          TabOrder = 1
          Visible = False
        end
        object _10lblHCI: TLabel
          Left = 160
          Top = 60
          Width = 83
          Height = 13
          Caption = 'Help Context Id:'
          Visible = False
        end
        object _10edtHCI: TEdit
          Left = 248
          Top = 56
          Width = 85
          Height = 21
          HelpContext = 80
          TabOrder = 2
          Visible = False
        end
        object _10btnNewTopic: TButton
          Left = 8
          Top = 64
          Width = 75
          Height = 25
          Caption = 'New Topic'
          TabOrder = 3
          Visible = False
          OnClick = _10btnNewTopicClick
        end
        object _10btnEditTopic: TButton
          Left = 88
          Top = 64
          Width = 75
          Height = 25
          Caption = 'Edit Topic'
          TabOrder = 4
          Visible = False
          OnClick = _10btnEditTopicClick
        end
        object _10lblCCKeyword: TLabel
          Left = 8
          Top = 92
          Width = 160
          Height = 13
          Caption = 'Keywords (Index/Search Entries)'
          Visible = False
        end
        object _10memCCKeywords: TMemo
          Left = 8
          Top = 106
          Width = 160
          Height = 10
          HelpContext = 1
          ScrollBars = ssVertical
          TabOrder = 5
          Visible = False
        end
        object _10lblCCAKeywords: TLabel
          Left = 176
          Top = 92
          Width = 130
          Height = 13
          Caption = 'A-Keywords (Search + Find)'
          Visible = False
        end
        object _10memCCAKeyWords: TMemo
          Left = 176
          Top = 106
          Width = 160
          Height = 10
          HelpContext = 1
          ScrollBars = ssVertical
          TabOrder = 6
          Visible = False
        end
      end
      object pgSettings: TTabPage
        Caption = 'Settings'
        object cb3: TCheckBox
          Left = 8
          Top = 5
          Width = 150
          Height = 17
          Caption = 'Show Caption'
          Checked = True
          TabOrder = 2
          OnClick = cb3Click
        end
        object cb1: TCheckBox
          Left = 8
          Top = 23
          Width = 150
          Height = 17
          Caption = 'Show Name'
          Checked = True
          TabOrder = 0
          OnClick = cb3Click
        end
        object cb2: TCheckBox
          Left = 8
          Top = 41
          Width = 150
          Height = 17
          Caption = 'Show Class Name'
          Checked = True
          TabOrder = 1
          OnClick = cb3Click
        end
      end
    end
  end
  object mmMain: TMainMenu
    object mnuFile: TMenuItem
      Caption = '&File'
      object mnuFileExit: TMenuItem
        Caption = 'E&xit and Save Changes'
        OnClick = mnuFileExitClick
      end
      object Exit1: TMenuItem
        Caption = '&Exit'
        OnClick = Exit1Click
      end
    end
    object mnuHelp1: TMenuItem
      Caption = '&Help'
      object mnuHelpContext1: TMenuItem
        Caption = 'Contents'
        ShortCut = 112
        OnClick = mnuHelpContext1Click
      end
      object mnuHelpN1: TMenuItem
        Caption = '-'
      end
      object mnuHelpAbout1: TMenuItem
        Caption = '&About...'
        OnClick = mnuHelpAbout1Click
      end
    end
  end
end
